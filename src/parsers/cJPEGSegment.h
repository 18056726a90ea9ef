#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foundation/StringEncodings.h"

namespace qm {

class FileOrigin;
class simpleStream;
class simpleOutputStream;

// One marker segment of a JPEG file: a 16-bit marker, a 16-bit length that counts itself and the
// payload, then the payload (integers big-endian). The payload is kept as read, so a segment
// that is not changed is written back byte for byte. Subclasses understand some payloads. A
// payload that no class reads, read from a file stream that does not hold it yet, is left in the
// file and read from there when first asked for.
class cJPEGSegment {
public:
    using Bytes = std::vector<std::uint8_t>;

    static constexpr std::uint16_t StartOfScanMarker = 0xFFDA;
    static constexpr std::uint16_t APP0Marker = 0xFFE0;
    static constexpr std::uint16_t APP1Marker = 0xFFE1;
    static constexpr std::uint16_t APP13Marker = 0xFFED;
    // The length field counts its own two bytes.
    static constexpr std::uint32_t LargestPayloadSize = 0xFFFF - 2;

    struct Header {
        std::uint16_t marker = 0;
        std::uint16_t length = 0;
    };

    cJPEGSegment();
    virtual ~cJPEGSegment();
    cJPEGSegment(const cJPEGSegment&) = delete;
    cJPEGSegment& operator=(const cJPEGSegment&) = delete;

    // The marker and length at the stream's position, 0 for bytes it does not hold; the stream stays.
    static Header peekHeader(simpleStream& stream);
    // The segment at the stream's position, of the class its marker calls for; the stream is left
    // after the payload. A payload cut short by the end of the stream holds the bytes present.
    static std::shared_ptr<cJPEGSegment> initFromStream(simpleStream& stream);

    // Marker, length and payload (the one a subclass makes anew, when it does); nothing when
    // shouldWriteToUpdatedFile is cleared. A payload cut short and left unchanged keeps the length
    // it was read with. False, with nothing written, for a payload above LargestPayloadSize.
    bool writeToStream(simpleOutputStream& stream) const;
    // A segment of the marker holding the payload; false, with nothing written, when it is too large.
    static bool writeNewSegment(simpleOutputStream& stream, std::uint16_t marker, std::span<const std::uint8_t> payload);
    // The stored payload, whatever shouldWriteToUpdatedFile says.
    bool writeToStreamWithoutCustomWriting(simpleOutputStream& stream) const;

    std::uint16_t segmentMarker() const { return mSegmentMarker; }
    std::uint32_t originalSegmentOffset() const { return mOriginalSegmentOffset; }
    // The length field as read, and that length less 2 in 16 bits (a length of 1 gives 65535).
    std::uint16_t originalLengthField() const { return mOriginalLengthField; }
    std::uint16_t originalSegmentByteCount() const { return static_cast<std::uint16_t>(mOriginalLengthField - 2); }
    // True when the stream ended before the payload did, until the payload is replaced.
    bool isCutShort() const { return mCutShort; }
    bool shouldWriteToUpdatedFile() const { return mShouldWriteToUpdatedFile; }
    void setShouldWriteToUpdatedFile(bool write) { mShouldWriteToUpdatedFile = write; }

    // The payload; one left in the file is read now (empty when the file has changed since).
    const Bytes& data() const;
    void setData(Bytes data);
    // False when a payload left in the file could not be read again as it was.
    bool hasPayloadAsRead() const;
    std::uint32_t segmentLength() const { return static_cast<std::uint32_t>(data().size()); }
    // Payload bytes before the first zero byte (all of them when there is none), and their text.
    std::uint32_t appNameLength() const;
    std::optional<std::string> appName(StringEncoding encoding) const;

    // Big-endian reads and writes at payload offsets; absent, or refused, outside the payload.
    std::optional<std::uint8_t> UInt8AtOffset(std::uint32_t offset) const;
    std::optional<std::uint16_t> UInt16AtOffset(std::uint32_t offset) const;
    std::optional<std::uint32_t> UInt32AtOffset(std::uint32_t offset) const;
    bool setUInt8(std::uint8_t value, std::uint32_t offset);
    bool setUInt16(std::uint16_t value, std::uint32_t offset);
    bool setUInt32(std::uint32_t value, std::uint32_t offset);
    bool setBytesAtOffset(const std::uint8_t* source, std::uint32_t length, std::uint32_t offset);
    std::optional<Bytes> dataAtOffset(std::uint32_t offset, std::uint32_t byteCount) const;
    // The bytes up to the range's first zero byte, decoded.
    std::optional<std::string> stringAtOffset(std::uint32_t offset, std::uint32_t byteCount,
                                              StringEncoding encoding) const;

protected:
    // Reads marker, length and payload; subclasses then read what the payload holds.
    virtual void readFromStream(simpleStream& stream);
    // A subclass that reads its payload while the file is read says so; others may leave it there.
    virtual bool interpretsPayload() const { return false; }
    // A subclass that makes its payload anew says so and writes it here.
    virtual bool hasCustomizedData() const { return false; }
    virtual void writeCustomizedDataToStream(simpleOutputStream& stream) const;
    // What writeToStream writes when the segment is to be written; a subclass may write several
    // segments, or none, in its place.
    virtual bool writeUpdatedSegment(simpleOutputStream& stream) const;
    // Marker, length and the stored payload.
    bool writeSegmentAsRead(simpleOutputStream& stream) const { return writeSegment(stream, false); }

private:
    struct PayloadInFile {
        std::shared_ptr<const FileOrigin> origin;
        std::uint32_t offset = 0;
        std::uint32_t byteCount = 0;
        std::once_flag read;
    };

    std::uint32_t readPayload(simpleStream& stream, std::uint32_t declaredSize);
    void readPayloadFromFile() const;
    bool writeSegment(simpleOutputStream& stream, bool customized) const;
    bool isWritable(bool written, std::uint32_t payloadSize) const;
    bool containsRange(std::uint32_t offset, std::uint32_t byteCount) const;
    std::optional<std::uint32_t> bigEndianAtOffset(std::uint32_t offset, std::uint32_t width) const;
    bool setBigEndian(std::uint32_t value, std::uint32_t width, std::uint32_t offset);

    std::uint16_t mSegmentMarker = 0;
    std::uint32_t mOriginalSegmentOffset = 0;
    std::uint16_t mOriginalLengthField = 2;
    bool mCutShort = false;
    bool mShouldWriteToUpdatedFile = true;
    mutable Bytes mData;
    std::unique_ptr<PayloadInFile> mPayloadInFile;
    mutable bool mPayloadLost = false;
};

} // namespace qm
