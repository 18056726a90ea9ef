#include "parsers/cXMPIFDEntry.h"

#include "parsers/XMPPacketText.h"

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
    return XMPPacketText::decode(*data);
}

void cXMPIFDEntry::setXMP(std::optional<std::string> packet)
{
    setParsedObjects(packet ? PlistArray{PlistValue(std::move(*packet))} : PlistArray{});
}

} // namespace qm
