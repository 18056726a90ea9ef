#include "parsers/QMMetadataParser_PDF.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "foundation/Log.h"
#include "metadata/StreamScanner.h"
#include "metadata/simpleStream.h"
#include "parsers/XMPtoIPTCconverter.h"

namespace qm {

namespace {

constexpr std::string_view PacketBeginMarker = "<?xpacket begin=";
constexpr std::string_view PacketEndMarker = "<?xpacket end=";
constexpr std::string_view MetadataElement = "<x:xmpmeta";
constexpr std::string_view OldMetadataElement = "<x:xapmeta";

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

// One pass finds the first begin and the first end marker together; the metadata element is then
// searched from the begin marker.
std::optional<QMMetadataParser_PDF::PacketLocation> QMMetadataParser_PDF::locatePacket(simpleStream& stream)
{
    StreamScanner scanner(stream);
    const std::string_view markers[] = {PacketBeginMarker, PacketEndMarker};
    const auto found = scanner.findFirst(markers, 0);
    const auto begin = found[0];
    const auto end = found[1];
    if (!begin || !end)
        return std::nullopt;
    auto element = scanner.findFirst(MetadataElement, *begin);
    if (!element)
        element = scanner.findFirst(OldMetadataElement, *begin);
    if (!element || *end <= *element)
        return std::nullopt;
    return PacketLocation{*element, *end};
}

// Read straight from the stream at the packet's offset, so nothing before it is kept.
std::optional<std::string> QMMetadataParser_PDF::readPacket(simpleStream& stream, PacketLocation location,
                                                            std::uint32_t maxPacketSize)
{
    const std::uint64_t size = location.end - location.start;
    if (size > maxPacketSize) {
        Log::format("QMMetadataParser_PDF: the XMP packet at %ju holds %ju bytes, more than %u, and is not read",
                    std::uintmax_t(location.start), std::uintmax_t(size), maxPacketSize);
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    const std::span bytes(reinterpret_cast<std::uint8_t*>(text.data()), text.size());
    if (stream.readBytesAt(location.start, bytes) != size || !StringEncodings::isValidUTF8(bytes)) {
        Log::format("QMMetadataParser_PDF: the XMP packet at %ju is not UTF-8", std::uintmax_t(location.start));
        return std::nullopt;
    }
    const std::string_view trimmed = trimmedOfWhiteSpace(text);
    const auto leading = static_cast<std::size_t>(trimmed.data() - text.data());
    text.erase(leading + trimmed.size());
    text.erase(0, leading);
    return text;
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
    return PlistDictionary{{"packetStart", static_cast<std::int64_t>(mPacketLocation->start)},
                           {"packetEnd", static_cast<std::int64_t>(mPacketLocation->end)}};
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
