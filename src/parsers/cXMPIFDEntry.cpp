#include "parsers/cXMPIFDEntry.h"

#include <span>

#include "foundation/StringEncodings.h"

namespace qm {

std::optional<std::string> cXMPIFDEntry::XMP() const
{
    if (!parsedObjects() || parsedObjects()->empty())
        return std::nullopt;
    const PlistValue& first = parsedObjects()->front();
    if (const std::string* text = first.string())
        return *text;
    const PlistData* data = first.data();
    if (!data)
        return std::nullopt;
    std::span<const std::uint8_t> bytes(*data);
    while (!bytes.empty() && bytes.back() == 0)
        bytes = bytes.first(bytes.size() - 1);
    return StringEncodings::decode(bytes, Encoding::UTF8);
}

void cXMPIFDEntry::setXMP(std::optional<std::string> packet)
{
    setParsedObjects(packet ? PlistArray{PlistValue(std::move(*packet))} : PlistArray{});
}

} // namespace qm
