#include "parsers/cJPEGSegment.h"

#include <algorithm>
#include <array>

#include "foundation/FileOrigin.h"
#include "foundation/Log.h"
#include "metadata/simpleBlockFileStream.h"
#include "metadata/simpleOutputStream.h"
#include "metadata/simpleStream.h"
#include "parsers/cAPP0_Segment.h"
#include "parsers/cAPP13_Segment.h"
#include "parsers/cJPEGSegment_APP1.h"

namespace qm {

namespace {

constexpr std::uint32_t HeaderSize = 4;

// JPEG's byte order, the one place where it is handled.
std::uint32_t bigEndianValue(const std::uint8_t* bytes, std::uint32_t width)
{
    std::uint32_t value = 0;
    for (std::uint32_t index = 0; index < width; ++index)
        value = value << 8 | bytes[index];
    return value;
}

std::array<std::uint8_t, 4> bigEndianBytes(std::uint32_t value, std::uint32_t width)
{
    std::array<std::uint8_t, 4> bytes{};
    for (std::uint32_t index = 0; index < width; ++index)
        bytes[index] = static_cast<std::uint8_t>(value >> (8 * (width - 1 - index)));
    return bytes;
}

void writeBigEndian16(simpleOutputStream& stream, std::uint16_t value)
{
    stream.writeBytes(bigEndianBytes(value, 2).data(), 2);
}

// Reads what the stream holds of a header; a field the stream does not hold whole is 0.
cJPEGSegment::Header readHeader(simpleStream& stream)
{
    std::array<std::uint8_t, HeaderSize> bytes{};
    const std::uint32_t count = stream.readBytes(bytes.data(), HeaderSize);
    const auto field = [&](std::uint32_t at) {
        return static_cast<std::uint16_t>(count >= at + 2 ? bigEndianValue(bytes.data() + at, 2) : 0);
    };
    return {field(0), field(2)};
}

std::shared_ptr<cJPEGSegment> newSegment(std::uint16_t marker)
{
    switch (marker) {
    case cJPEGSegment::APP0Marker: return std::make_shared<cAPP0_Segment>();
    case cJPEGSegment::APP1Marker: return std::make_shared<cJPEGSegment_APP1>();
    case cJPEGSegment::APP13Marker: return std::make_shared<cAPP13_Segment>();
    default: return std::make_shared<cJPEGSegment>();
    }
}

} // namespace

cJPEGSegment::cJPEGSegment() = default;

cJPEGSegment::~cJPEGSegment() = default;

cJPEGSegment::Header cJPEGSegment::peekHeader(simpleStream& stream)
{
    const std::uint32_t start = stream.streamPosition();
    const Header header = readHeader(stream);
    stream.setStreamPosition(start);
    return header;
}

std::shared_ptr<cJPEGSegment> cJPEGSegment::initFromStream(simpleStream& stream)
{
    auto segment = newSegment(peekHeader(stream).marker);
    segment->readFromStream(stream);
    return segment;
}

void cJPEGSegment::readFromStream(simpleStream& stream)
{
    mOriginalSegmentOffset = stream.streamPosition();
    mShouldWriteToUpdatedFile = true;
    const Header header = readHeader(stream);
    mSegmentMarker = header.marker;
    mOriginalLengthField = header.length;
    const std::uint32_t size = readPayload(stream, originalSegmentByteCount());
    mCutShort = size < originalSegmentByteCount();
    if (mCutShort)
        Log::format("cJPEGSegment: segment %04X at offset %u declares %u bytes; only %u are present", mSegmentMarker,
                    mOriginalSegmentOffset, originalSegmentByteCount(), size);
}

// Copies the payload, or steps over it when it is to be read from the file only when needed:
// no subclass reads it now and the stream does not already hold it. Returns its size.
std::uint32_t cJPEGSegment::readPayload(simpleStream& stream, std::uint32_t declaredSize)
{
    mPayloadInFile.reset();
    mPayloadLost = false;
    auto* file = dynamic_cast<simpleBlockFileStream*>(&stream);
    const std::uint32_t start = stream.streamPosition();
    const std::uint32_t size = std::min(declaredSize, stream.remainingByteCount());
    if (!file || interpretsPayload() || size == 0 || file->holds(start, size)) {
        mData = stream.data(declaredSize);
        return static_cast<std::uint32_t>(mData.size());
    }
    mData.clear();
    mPayloadInFile = std::make_unique<PayloadInFile>();
    mPayloadInFile->origin = file->origin();
    mPayloadInFile->offset = start;
    mPayloadInFile->byteCount = size;
    stream.setStreamPosition(start + size);
    return size;
}

const cJPEGSegment::Bytes& cJPEGSegment::data() const
{
    if (mPayloadInFile)
        std::call_once(mPayloadInFile->read, [this] { readPayloadFromFile(); });
    return mData;
}

void cJPEGSegment::readPayloadFromFile() const
{
    auto bytes = mPayloadInFile->origin->read(mPayloadInFile->offset, mPayloadInFile->byteCount);
    mPayloadLost = !bytes;
    if (bytes)
        mData = std::move(*bytes);
    else
        Log::format("cJPEGSegment: the data of segment %04X at offset %u could not be read again", mSegmentMarker,
                    mOriginalSegmentOffset);
}

bool cJPEGSegment::hasPayloadAsRead() const
{
    data();
    return !mPayloadLost;
}

void cJPEGSegment::setData(Bytes data)
{
    mPayloadInFile.reset();
    mPayloadLost = false;
    mData = std::move(data);
    mCutShort = false;
}

bool cJPEGSegment::writeToStream(simpleOutputStream& stream) const
{
    if (!mShouldWriteToUpdatedFile)
        return true;
    return writeUpdatedSegment(stream);
}

bool cJPEGSegment::writeUpdatedSegment(simpleOutputStream& stream) const
{
    return writeSegment(stream, hasCustomizedData());
}

bool cJPEGSegment::writeNewSegment(simpleOutputStream& stream, std::uint16_t marker,
                                   std::span<const std::uint8_t> payload)
{
    if (payload.size() > LargestPayloadSize)
        return false;
    writeBigEndian16(stream, marker);
    writeBigEndian16(stream, static_cast<std::uint16_t>(payload.size() + 2));
    stream.writeBytes(payload.data(), static_cast<std::uint32_t>(payload.size()));
    return true;
}

bool cJPEGSegment::writeToStreamWithoutCustomWriting(simpleOutputStream& stream) const
{
    return writeSegment(stream, false);
}

// The stored payload.
void cJPEGSegment::writeCustomizedDataToStream(simpleOutputStream& stream) const
{
    stream.writeBytes(data().data(), segmentLength());
}

// The length is filled in once the payload is written and its size known.
bool cJPEGSegment::writeSegment(simpleOutputStream& stream, bool customized) const
{
    const std::uint32_t start = stream.streamPosition();
    writeBigEndian16(stream, mSegmentMarker);
    writeBigEndian16(stream, 0);
    const std::uint32_t payloadStart = stream.streamPosition();
    if (customized)
        writeCustomizedDataToStream(stream);
    else
        cJPEGSegment::writeCustomizedDataToStream(stream);
    const std::uint32_t payloadSize = stream.streamPosition() - payloadStart;
    const bool written = payloadStart == start + HeaderSize && (customized || payloadSize == segmentLength());
    if (!isWritable(written, payloadSize)) {
        stream.setStreamPosition(start);
        return false;
    }
    const bool keepsReadLength = mCutShort && !customized;
    stream.setStreamPosition(start + 2);
    writeBigEndian16(stream, keepsReadLength ? mOriginalLengthField : static_cast<std::uint16_t>(payloadSize + 2));
    stream.setStreamPosition(payloadStart + payloadSize);
    return true;
}

bool cJPEGSegment::isWritable(bool written, std::uint32_t payloadSize) const
{
    if (!written)
        Log::format("cJPEGSegment: segment %04X (read at offset %u) could not be written", mSegmentMarker,
                    mOriginalSegmentOffset);
    else if (payloadSize > LargestPayloadSize)
        Log::format("cJPEGSegment: segment %04X (read at offset %u) has %u bytes of data; at most %u fit in a segment",
                    mSegmentMarker, mOriginalSegmentOffset, payloadSize, LargestPayloadSize);
    return written && payloadSize <= LargestPayloadSize;
}

std::uint32_t cJPEGSegment::appNameLength() const
{
    const Bytes& payload = data();
    return static_cast<std::uint32_t>(std::find(payload.begin(), payload.end(), 0) - payload.begin());
}

std::optional<std::string> cJPEGSegment::appName(StringEncoding encoding) const
{
    return StringEncodings::decode(std::span<const std::uint8_t>(data().data(), appNameLength()), encoding);
}

bool cJPEGSegment::containsRange(std::uint32_t offset, std::uint32_t byteCount) const
{
    return std::uint64_t(offset) + byteCount <= data().size();
}

std::optional<std::uint32_t> cJPEGSegment::bigEndianAtOffset(std::uint32_t offset, std::uint32_t width) const
{
    if (!containsRange(offset, width))
        return std::nullopt;
    return bigEndianValue(data().data() + offset, width);
}

std::optional<std::uint8_t> cJPEGSegment::UInt8AtOffset(std::uint32_t offset) const
{
    return bigEndianAtOffset(offset, 1);
}

std::optional<std::uint16_t> cJPEGSegment::UInt16AtOffset(std::uint32_t offset) const
{
    return bigEndianAtOffset(offset, 2);
}

std::optional<std::uint32_t> cJPEGSegment::UInt32AtOffset(std::uint32_t offset) const
{
    return bigEndianAtOffset(offset, 4);
}

bool cJPEGSegment::setBigEndian(std::uint32_t value, std::uint32_t width, std::uint32_t offset)
{
    return setBytesAtOffset(bigEndianBytes(value, width).data(), width, offset);
}

bool cJPEGSegment::setUInt8(std::uint8_t value, std::uint32_t offset)
{
    return setBigEndian(value, 1, offset);
}

bool cJPEGSegment::setUInt16(std::uint16_t value, std::uint32_t offset)
{
    return setBigEndian(value, 2, offset);
}

bool cJPEGSegment::setUInt32(std::uint32_t value, std::uint32_t offset)
{
    return setBigEndian(value, 4, offset);
}

bool cJPEGSegment::setBytesAtOffset(const std::uint8_t* source, std::uint32_t length, std::uint32_t offset)
{
    if (!containsRange(offset, length) || (!source && length > 0)) {
        Log::message("can't set data beyond data bounds!");
        return false;
    }
    Log::message("setBytesAtOffset!");
    Bytes patched = data();
    std::copy_n(source, length, patched.begin() + offset);
    setData(std::move(patched));
    return true;
}

std::optional<cJPEGSegment::Bytes> cJPEGSegment::dataAtOffset(std::uint32_t offset, std::uint32_t byteCount) const
{
    if (!containsRange(offset, byteCount))
        return std::nullopt;
    return Bytes(data().begin() + offset, data().begin() + offset + byteCount);
}

std::optional<std::string> cJPEGSegment::stringAtOffset(std::uint32_t offset, std::uint32_t byteCount,
                                                        StringEncoding encoding) const
{
    const auto bytes = dataAtOffset(offset, byteCount);
    if (!bytes)
        return std::nullopt;
    const auto zero = std::find(bytes->begin(), bytes->end(), 0);
    return StringEncodings::decode(std::span<const std::uint8_t>(bytes->data(), zero - bytes->begin()), encoding);
}

} // namespace qm
