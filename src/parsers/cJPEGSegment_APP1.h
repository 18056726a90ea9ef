#pragma once

#include "parsers/cJPEGSegment.h"

namespace qm {

class QMMetadataParser_TIFF;

// An APP1 segment: an Exif block ("Exif", two zero bytes, then a TIFF structure at payload
// offset 6) or, when no TIFF header is there, an XMP packet after a 29-byte identifier (other
// programs' APP1 segments, extended XMP among them, are read the same way).
class cJPEGSegment_APP1 : public cJPEGSegment {
public:
    static constexpr std::uint32_t TIFFHeaderOffset = 6;
    static constexpr std::uint32_t XMPIdentifierSize = 29;

    // The Exif block's TIFF structure, read from the payload as it was read (on the first call);
    // null for an XMP segment.
    const std::shared_ptr<QMMetadataParser_TIFF>& TIFFparser() const;
    bool hasXMP() const { return !mExifPayload; }
    // The payload starts with the XMP identifier ("http://ns.adobe.com/xap/1.0/" and a zero byte).
    bool hasXMPIdentifier() const;
    // The UTF-8 text after the identifier; absent for Exif, a payload shorter than the
    // identifier, or bytes that are not UTF-8.
    std::optional<std::string> XMP() const;
    // Keeps the identifier (the standard one when the payload is too short to hold one) and puts
    // the packet after it (nothing after it for an absent packet); false for an Exif segment.
    bool setXMP(const std::optional<std::string>& packet);

protected:
    void readFromStream(simpleStream& stream) override;
    bool interpretsPayload() const override { return true; }

private:
    std::shared_ptr<const Bytes> mExifPayload;
    mutable std::mutex mTIFFparserMutex;
    mutable std::shared_ptr<QMMetadataParser_TIFF> mTIFFparser;
};

} // namespace qm
