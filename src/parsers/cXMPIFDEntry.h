#pragma once

#include <optional>
#include <string>

#include "parsers/cIFDEntry.h"

namespace qm {

// The entry of tag 700, the XMP packet. Declared as BYTE it is decoded as text; declared as
// UNDEFINED it holds the packet's bytes, which are read as UTF-8.
class cXMPIFDEntry : public cIFDEntry {
public:
    // The packet: the first value when it is text, or the bytes of a data value decoded as UTF-8
    // (trailing zero bytes left out); absent when there is none or the bytes are not UTF-8.
    std::optional<std::string> XMP() const;
    // The values become the packet alone (none when it is absent).
    void setXMP(std::optional<std::string> packet);

protected:
    std::uint16_t decodingType(std::uint16_t declaredType) const override
    {
        return declaredType == IFDTypeBYTE ? std::uint16_t{IFDTypeASCII} : declaredType;
    }
};

} // namespace qm
