#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qm {

class simpleStream;
class simpleOutputStream;

// One Photoshop image resource block: "8BIM", a 16-bit identifier, a Pascal name padded to an
// even length, a 32-bit data size, the data and a pad byte after odd data. Photoshop documents,
// JPEG APP13 segments and TIFF entries hold sequences of them. All integers are big-endian.
class cPhotoshopImageResource {
public:
    using Bytes = std::vector<std::uint8_t>;
    using ResourceArray = std::vector<std::shared_ptr<cPhotoshopImageResource>>;

    static constexpr std::uint32_t Signature8BIM = 0x3842494D;
    static constexpr std::uint16_t IPTCIdentifier = 1028;
    static constexpr std::uint16_t XMPIdentifier = 1002;
    static constexpr std::uint16_t XMPMetadataIdentifier = 1060;
    static constexpr std::uint16_t ThumbnailIdentifier = 1036;

    explicit cPhotoshopImageResource(std::uint16_t identifier = 0, Bytes data = {},
                                     std::optional<std::string> name = std::string());
    virtual ~cPhotoshopImageResource();

    // The blocks from the stream's position up to segmentLength bytes further, in order, ending
    // before the first block that is not "8BIM". A block's data ends where the area ends; the
    // stream is left after the last block read.
    static ResourceArray readPhotoshopImageResources(simpleStream& stream, std::uint32_t segmentLength);

    // The resource that holds the XMP packet: 1060, else 1002 when its text is a packet (in
    // Photoshop's own files 1002 holds print settings instead); null when neither.
    static std::shared_ptr<cPhotoshopImageResource> XMPResource(const ResourceArray& resources);
    // The packet of XMPResource(); nothing when there is none, it is empty or not text.
    static std::optional<std::string> XMPOfResources(const ResourceArray& resources);
    // The block at the stream's position; the stream is left after it, pad byte included.
    static std::shared_ptr<cPhotoshopImageResource> initFromStream(simpleStream& stream);

    // Writes the block; the name is written in Mac OS Roman (an empty name when it has none).
    virtual void writeToStream(simpleOutputStream& stream) const;
    // The data part of the block; the IPTC resource writes its records instead of its bytes.
    virtual void writeCustomizedDataToStream(simpleOutputStream& stream) const;

    std::uint32_t signature() const { return mSignature; }
    void setSignature(std::uint32_t signature) { mSignature = signature; }
    std::uint16_t identifier() const { return mIdentifier; }
    void setIdentifier(std::uint16_t identifier) { mIdentifier = identifier; }
    // Absent when the stored name is not valid UTF-8.
    const std::optional<std::string>& name() const { return mName; }
    void setName(std::optional<std::string> name) { mName = std::move(name); }
    const Bytes& data() const { return mData; }
    void setData(Bytes data) { mData = std::move(data); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(mData.size()); }

    // Photoshop's byte order; 0 (and a log line) when the stream has too few bytes.
    static std::uint16_t readBigEndianUInt16(simpleStream& stream);
    static std::uint32_t readBigEndianUInt32(simpleStream& stream);

protected:
    // Reads the block's fields; nothing is read at or after `end`.
    virtual void readFromStream(simpleStream& stream, std::uint32_t end);

private:
    void writeName(simpleOutputStream& stream) const;

    std::uint32_t mSignature = Signature8BIM;
    std::uint16_t mIdentifier = 0;
    std::optional<std::string> mName;
    Bytes mData;
};

} // namespace qm
