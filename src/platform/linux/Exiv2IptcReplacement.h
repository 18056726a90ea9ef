#pragma once

#include <exiv2/exiv2.hpp>

#include "foundation/PlistValue.h"

namespace qm {

// Replaces the application-record datasets that IptcPropertyKeys names with the values of a
// property dictionary (strings or numbers; an array gives one dataset per element), in dataset
// order, and marks the text as UTF-8 (1:90 = ESC % G). Datasets without a property name stay.
class Exiv2IptcReplacement {
public:
    static void apply(Exiv2::IptcData& data, const PlistDictionary& iptc);
};

} // namespace qm
