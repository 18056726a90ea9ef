#pragma once

#include <exiv2/exiv2.hpp>

#include <string>
#include <string_view>

#include "foundation/PlistValue.h"

namespace qm {

// An image's Exiv2 metadata as property dictionaries: "{IPTC}" (keyed as IptcPropertyKeys names
// the datasets; datasets that IIM lets repeat are arrays), and the plain text values of "{TIFF}",
// "{Exif}" and "{XMP}". A part the image lacks is left out.
class Exiv2Properties {
public:
    static void addTo(PlistDictionary& properties, const Exiv2::Image& image);
    static PlistDictionary iptc(const Exiv2::IptcData& data);
    // UTF-8 bytes as they are, anything else read as ISO Latin 1; trailing NULs dropped.
    static std::string text(std::string_view bytes);
};

} // namespace qm
