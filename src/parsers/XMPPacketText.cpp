#include "parsers/XMPPacketText.h"

#include <algorithm>

#include "foundation/StringEncodings.h"

namespace qm {

namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix)
{
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// The encoding the packet's first bytes reveal: a byte-order mark, or the zeros around "<".
StringEncoding encodingOf(std::span<const std::uint8_t> bytes)
{
    if (startsWith(bytes, {0x00, 0x00, 0xFE, 0xFF}) || startsWith(bytes, {0x00, 0x00, 0x00, '<'}))
        return Encoding::UTF32BigEndian;
    if (startsWith(bytes, {0xFF, 0xFE, 0x00, 0x00}) || startsWith(bytes, {'<', 0x00, 0x00, 0x00}))
        return Encoding::UTF32LittleEndian;
    if (startsWith(bytes, {0xFE, 0xFF}) || startsWith(bytes, {0x00, '<'}))
        return Encoding::UTF16BigEndian;
    if (startsWith(bytes, {0xFF, 0xFE}) || startsWith(bytes, {'<', 0x00}))
        return Encoding::UTF16LittleEndian;
    return Encoding::UTF8;
}

std::size_t byteOrderMarkSize(std::span<const std::uint8_t> bytes, StringEncoding encoding)
{
    switch (encoding) {
    case Encoding::UTF32BigEndian: return startsWith(bytes, {0x00, 0x00, 0xFE, 0xFF}) ? 4 : 0;
    case Encoding::UTF32LittleEndian: return startsWith(bytes, {0xFF, 0xFE, 0x00, 0x00}) ? 4 : 0;
    case Encoding::UTF16BigEndian: return startsWith(bytes, {0xFE, 0xFF}) ? 2 : 0;
    case Encoding::UTF16LittleEndian: return startsWith(bytes, {0xFF, 0xFE}) ? 2 : 0;
    default: return 0;
    }
}

} // namespace

std::optional<std::string> XMPPacketText::decode(std::span<const std::uint8_t> bytes)
{
    const StringEncoding encoding = encodingOf(bytes);
    bytes = bytes.subspan(byteOrderMarkSize(bytes, encoding));
    const std::size_t unit = encoding == Encoding::UTF8 ? 1 : (encoding == Encoding::UTF16BigEndian ||
                                                              encoding == Encoding::UTF16LittleEndian) ? 2 : 4;
    std::size_t end = bytes.size() - bytes.size() % unit;
    while (end >= unit && std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(end - unit),
                                      bytes.begin() + static_cast<std::ptrdiff_t>(end), [](auto b) { return b == 0; }))
        end -= unit;
    return StringEncodings::decode(bytes.first(end), encoding);
}

bool XMPPacketText::looksLikeXMP(std::string_view text)
{
    for (const char* marker : {"<x:xmpmeta", "<x:xapmeta", "<?xpacket", "<rdf:RDF"})
        if (text.find(marker) != std::string_view::npos)
            return true;
    return false;
}

} // namespace qm
