#include "parsers/QMMetadataParser_PDF.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "foundation/Log.h"
#include "metadata/simpleStream.h"
#include "parsers/XMPtoIPTCconverter.h"

namespace qm {

namespace {

constexpr std::string_view PacketBeginMarker = "<?xpacket begin=";
constexpr std::string_view PacketEndMarker = "<?xpacket end=";
constexpr std::string_view MetadataElement = "<x:xmpmeta";
constexpr std::string_view OldMetadataElement = "<x:xapmeta";

// The first occurrence of the marker at or after the position.
std::optional<std::uint32_t> findFrom(simpleStream& stream, std::uint32_t position, std::string_view marker)
{
    if (!stream.setStreamPosition(position))
        return std::nullopt;
    const StreamRange range = stream.findString(marker);
    if (range == StreamRange::NotFound)
        return std::nullopt;
    return range.location;
}

// Valid UTF-8 without the Unicode white space (line breaks included) at both ends.
std::string_view trimmedOfWhiteSpace(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t start = 0;
    while (start < length) {
        std::int32_t next = start;
        UChar32 character;
        U8_NEXT(bytes, next, length, character);
        if (!u_isUWhiteSpace(character))
            break;
        start = next;
    }
    std::int32_t end = length;
    while (end > start) {
        std::int32_t previous = end;
        UChar32 character;
        U8_PREV(bytes, start, previous, character);
        if (!u_isUWhiteSpace(character))
            break;
        end = previous;
    }
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

} // namespace

std::optional<QMMetadataParser_PDF::PacketLocation> QMMetadataParser_PDF::locatePacket(simpleStream& stream)
{
    const auto begin = findFrom(stream, 0, PacketBeginMarker);
    if (!begin)
        return std::nullopt;
    const auto end = findFrom(stream, 0, PacketEndMarker);
    if (!end)
        return std::nullopt;
    auto element = findFrom(stream, *begin, MetadataElement);
    if (!element)
        element = findFrom(stream, *begin, OldMetadataElement);
    if (!element || *end <= *element)
        return std::nullopt;
    return PacketLocation{*element, *end};
}

std::optional<std::string> QMMetadataParser_PDF::readPacket(simpleStream& stream, PacketLocation location,
                                                            std::uint32_t maxPacketSize)
{
    const std::uint32_t size = location.end - location.start;
    if (size > maxPacketSize) {
        Log::format("QMMetadataParser_PDF: the XMP packet at %u holds %u bytes, more than %u, and is not read",
                    location.start, size, maxPacketSize);
        return std::nullopt;
    }
    if (!stream.setStreamPosition(location.start))
        return std::nullopt;
    const std::vector<std::uint8_t> bytes = stream.data(size);
    if (bytes.size() != size || !StringEncodings::isValidUTF8(bytes)) {
        Log::format("QMMetadataParser_PDF: the XMP packet at %u is not UTF-8", location.start);
        return std::nullopt;
    }
    return std::string(trimmedOfWhiteSpace({reinterpret_cast<const char*>(bytes.data()), bytes.size()}));
}

std::optional<std::string> QMMetadataParser_PDF::extractXMPFromArbitraryStream(simpleStream& stream,
                                                                               std::uint32_t maxPacketSize)
{
    const auto location = locatePacket(stream);
    return location ? readPacket(stream, *location, maxPacketSize) : std::nullopt;
}

bool QMMetadataParser_PDF::parseImageStream(simpleStream& stream, Error*)
{
    const auto location = locatePacket(stream);
    auto packet = location ? readPacket(stream, *location, MaximumPacketSize) : std::nullopt;
    auto records = packet ? XMPtoIPTCconverter::XMPToIPTCRecordArray(*packet) : std::nullopt;
    std::lock_guard lock(mMutex);
    mPacketLocation = location;
    mXMP = std::move(packet);
    mIPTCRecords = std::move(records);
    return true;
}

PlistValue QMMetadataParser_PDF::structureSummary() const
{
    std::lock_guard lock(mMutex);
    if (!mPacketLocation)
        return {};
    return PlistDictionary{{"packetStart", mPacketLocation->start}, {"packetEnd", mPacketLocation->end}};
}

std::optional<IPTCRecordArray> QMMetadataParser_PDF::IPTCRecords() const
{
    std::lock_guard lock(mMutex);
    return mIPTCRecords;
}

void QMMetadataParser_PDF::setIPTCRecords(std::optional<IPTCRecordArray> records)
{
    std::lock_guard lock(mMutex);
    mIPTCRecords = std::move(records);
}

std::optional<std::string> QMMetadataParser_PDF::XMP() const
{
    std::lock_guard lock(mMutex);
    return mXMP;
}

void QMMetadataParser_PDF::setXMP(std::optional<std::string> packet)
{
    std::lock_guard lock(mMutex);
    mXMP = std::move(packet);
}

bool QMMetadataParser_PDF::updateFileToURLBypassingCoreGraphics(const std::filesystem::path&, Error*)
{
    Log::message("PDF doesnt write yet");
    return false;
}

} // namespace qm
