#include "parsers/bufferedTinyXML.h"

#include <string>
#include <string_view>

#include <unicode/utf8.h>

#include "foundation/Log.h"
#include "parsers/XmlNestingScanner.h"

namespace qm {

namespace {

std::string_view upToFirstNul(std::string_view bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

std::size_t validUTF8Length(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<std::int32_t>(bytes.size());
    std::int32_t offset = 0;
    while (offset < length) {
        const std::int32_t start = offset;
        UChar32 character;
        U8_NEXT(data, offset, length, character);
        if (character < 0)
            return static_cast<std::size_t>(start);
    }
    return bytes.size();
}

std::string withLineFeeds(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r')
            text += bytes[i];
        else if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue; // the LF of CR LF follows
        else
            text += '\n';
    }
    return text;
}

} // namespace

bufferedTinyXML::bufferedTinyXML(const char* buffer, std::int32_t count)
{
    LoadFromString(buffer, count);
}

bool bufferedTinyXML::LoadFromString(const char* buffer, std::int32_t count)
{
    Clear();
    ClearError();
    if (count == 0) {
        SetError(TIXML_ERROR_DOCUMENT_EMPTY, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return false;
    }
    if (count < 0 || !buffer) {
        SetError(TIXML_ERROR, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return false;
    }
    const std::string_view bytes = upToFirstNul(std::string_view(buffer, static_cast<std::size_t>(count)));
    const std::size_t utf8Length = validUTF8Length(bytes);
    const std::string text = withLineFeeds(bytes.substr(0, utf8Length));
    if (XmlNestingScanner::depthBound(text) > MaximumNestingDepth) {
        Log::format("XML nested deeper than %zu levels not parsed", MaximumNestingDepth);
        SetError(TIXML_ERROR_PARSING_ELEMENT, nullptr, nullptr, TIXML_ENCODING_UTF8);
        return false;
    }
    Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (utf8Length < bytes.size()) {
        Log::format("XML text is not UTF-8 from byte %zu on; the rest is not parsed", utf8Length);
        SetError(TIXML_ERROR, nullptr, nullptr, TIXML_ENCODING_UTF8);
    }
    return !Error();
}

} // namespace qm
