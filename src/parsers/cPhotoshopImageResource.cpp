#include "parsers/cPhotoshopImageResource.h"

#include <algorithm>
#include <bit>

#include "foundation/Log.h"
#include "foundation/StringEncodings.h"
#include "metadata/simpleOutputStream.h"
#include "metadata/simpleStream.h"
#include "parsers/XMPPacketText.h"
#include "parsers/cPhotoshopIPTCImageResource.h"

namespace qm {

namespace {

constexpr std::uint32_t SignatureAndIdentifierSize = 6;
constexpr std::size_t LongestName = 255;
constexpr std::uint8_t PadByte = 0;

// Converts between big-endian and host order (the same swap both ways).
template <typename Integer>
Integer swappedToOrFromBigEndian(Integer value)
{
    if constexpr (std::endian::native == std::endian::big)
        return value;
    Integer swapped = 0;
    for (std::size_t byte = 0; byte < sizeof(Integer); ++byte) {
        swapped = static_cast<Integer>(swapped << 8 | (value & 0xFF));
        value = static_cast<Integer>(value >> 8);
    }
    return swapped;
}

template <typename Integer>
void writeBigEndian(simpleOutputStream& stream, Integer value)
{
    const Integer bigEndian = swappedToOrFromBigEndian(value);
    stream.writeBytes(&bigEndian, sizeof bigEndian);
}

std::uint32_t bytesBefore(const simpleStream& stream, std::uint32_t end)
{
    const std::uint32_t position = stream.streamPosition();
    return position < end ? std::min(end - position, stream.remainingByteCount()) : 0;
}

void skipPadByte(simpleStream& stream, std::uint32_t end)
{
    if (bytesBefore(stream, end) > 0)
        stream.setStreamPosition(stream.streamPosition() + 1);
}

// The name as C string (up to its first zero byte), decoded as UTF-8.
std::optional<std::string> decodedName(const cPhotoshopImageResource::Bytes& bytes)
{
    const auto zero = std::find(bytes.begin(), bytes.end(), 0);
    return StringEncodings::decode(std::span<const std::uint8_t>(bytes.data(), zero - bytes.begin()), Encoding::UTF8);
}

std::optional<cPhotoshopImageResource::Bytes> readName(simpleStream& stream, std::uint32_t end)
{
    if (bytesBefore(stream, end) == 0)
        return std::nullopt;
    const std::uint8_t length = stream.readUInt8();
    auto bytes = stream.data(std::min<std::uint32_t>(length, bytesBefore(stream, end)));
    if (length % 2 == 0)
        skipPadByte(stream, end);
    return bytes;
}

// The identifier of the "8BIM" block at the stream's position; the stream stays.
std::optional<std::uint16_t> peekBlockIdentifier(simpleStream& stream, std::uint32_t end)
{
    if (bytesBefore(stream, end) < SignatureAndIdentifierSize)
        return std::nullopt;
    const std::uint32_t start = stream.streamPosition();
    const std::uint32_t signature = cPhotoshopImageResource::readBigEndianUInt32(stream);
    const std::uint16_t identifier = cPhotoshopImageResource::readBigEndianUInt16(stream);
    stream.setStreamPosition(start);
    if (signature != cPhotoshopImageResource::Signature8BIM)
        return std::nullopt;
    return identifier;
}

std::shared_ptr<cPhotoshopImageResource> newResource(std::uint16_t identifier)
{
    if (identifier == cPhotoshopImageResource::IPTCIdentifier)
        return std::make_shared<cPhotoshopIPTCImageResource>();
    return std::make_shared<cPhotoshopImageResource>(identifier);
}

std::uint32_t areaEnd(const simpleStream& stream, std::uint32_t length)
{
    const std::uint64_t end = std::uint64_t(stream.streamPosition()) + length;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(end, stream.streamByteCount()));
}

} // namespace

cPhotoshopImageResource::cPhotoshopImageResource(std::uint16_t identifier, Bytes data, std::optional<std::string> name)
    : mIdentifier(identifier), mName(std::move(name)), mData(std::move(data))
{
}

cPhotoshopImageResource::~cPhotoshopImageResource() = default;

std::uint16_t cPhotoshopImageResource::readBigEndianUInt16(simpleStream& stream)
{
    return swappedToOrFromBigEndian(stream.readUInt16());
}

std::uint32_t cPhotoshopImageResource::readBigEndianUInt32(simpleStream& stream)
{
    return swappedToOrFromBigEndian(stream.readUInt32());
}

cPhotoshopImageResource::ResourceArray cPhotoshopImageResource::readPhotoshopImageResources(simpleStream& stream,
                                                                                          std::uint32_t segmentLength)
{
    ResourceArray resources;
    resources.reserve(10);
    const std::uint32_t end = areaEnd(stream, segmentLength);
    while (stream.streamPosition() < end) {
        const auto identifier = peekBlockIdentifier(stream, end);
        if (!identifier)
            break;
        const std::uint32_t blockStart = stream.streamPosition();
        auto resource = newResource(*identifier);
        resource->readFromStream(stream, end);
        resources.push_back(std::move(resource));
        if (stream.streamPosition() <= blockStart)
            break;
    }
    return resources;
}

std::shared_ptr<cPhotoshopImageResource> cPhotoshopImageResource::initFromStream(simpleStream& stream)
{
    auto resource = std::make_shared<cPhotoshopImageResource>();
    resource->readFromStream(stream, stream.streamByteCount());
    return resource;
}

// A block cut short keeps the data bytes that are present.
void cPhotoshopImageResource::readFromStream(simpleStream& stream, std::uint32_t end)
{
    mSignature = readBigEndianUInt32(stream);
    mIdentifier = readBigEndianUInt16(stream);
    const auto nameBytes = readName(stream, end);
    mName = nameBytes ? decodedName(*nameBytes) : std::string();
    const std::uint32_t declaredSize = bytesBefore(stream, end) >= 4 ? readBigEndianUInt32(stream) : 0;
    mData = stream.data(std::min(declaredSize, bytesBefore(stream, end)));
    if (mData.size() < declaredSize)
        Log::format("cPhotoshopImageResource: resource %u declares %u bytes; only %zu are present", mIdentifier,
                    declaredSize, mData.size());
    else if (declaredSize % 2 != 0)
        skipPadByte(stream, end);
}

void cPhotoshopImageResource::writeToStream(simpleOutputStream& stream) const
{
    writeBigEndian(stream, mSignature);
    writeBigEndian(stream, mIdentifier);
    writeName(stream);
    const std::uint32_t sizePosition = stream.streamPosition();
    writeBigEndian(stream, std::uint32_t{0});
    const std::uint32_t dataStart = stream.streamPosition();
    writeCustomizedDataToStream(stream);
    const std::uint32_t dataSize = stream.streamPosition() - dataStart;
    if (dataSize % 2 != 0)
        stream.writeBytes(&PadByte, 1);
    const std::uint32_t blockEnd = stream.streamPosition();
    if (dataStart == sizePosition + 4 && stream.setStreamPosition(sizePosition)) {
        writeBigEndian(stream, dataSize);
        stream.setStreamPosition(blockEnd);
    }
}

void cPhotoshopImageResource::writeCustomizedDataToStream(simpleOutputStream& stream) const
{
    if (!mData.empty())
        stream.writeBytes(mData.data(), size());
}

// A name longer than a Pascal string can hold is cut to its first 255 bytes.
void cPhotoshopImageResource::writeName(simpleOutputStream& stream) const
{
    Bytes bytes;
    if (mName)
        bytes = StringEncodings::encode(*mName, Encoding::MacOSRoman).value_or(Bytes{});
    bytes.resize(std::min(bytes.size(), LongestName));
    const auto length = static_cast<std::uint8_t>(bytes.size());
    stream.writeBytes(&length, 1);
    if (length > 0)
        stream.writeBytes(bytes.data(), length);
    if (length % 2 == 0)
        stream.writeBytes(&PadByte, 1);
}

namespace {

std::shared_ptr<cPhotoshopImageResource> resourceWithID(const cPhotoshopImageResource::ResourceArray& resources,
                                                        std::uint16_t identifier)
{
    for (const auto& resource : resources)
        if (resource->identifier() == identifier)
            return resource;
    return nullptr;
}

} // namespace

std::shared_ptr<cPhotoshopImageResource> cPhotoshopImageResource::XMPResource(const ResourceArray& resources)
{
    if (auto resource = resourceWithID(resources, XMPMetadataIdentifier))
        return resource;
    auto resource = resourceWithID(resources, XMPIdentifier);
    if (!resource)
        return nullptr;
    auto text = XMPPacketText::decode(resource->data());
    return text && XMPPacketText::looksLikeXMP(*text) ? resource : nullptr;
}

std::optional<std::string> cPhotoshopImageResource::XMPOfResources(const ResourceArray& resources)
{
    const auto resource = XMPResource(resources);
    if (!resource || resource->data().empty())
        return std::nullopt;
    return XMPPacketText::decode(resource->data());
}

} // namespace qm
