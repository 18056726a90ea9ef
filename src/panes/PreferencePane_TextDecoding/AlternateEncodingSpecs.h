#pragma once

#include <vector>

#include "metadata/cIPTCRecord.h"

namespace qm {

class UserDefaults;

// The alternate encoding specs as the user edits them, stored under "alternateEncodingSpecs" as
// dictionaries of "search" (a string) and "encoding" (an archived textEncoding). A spec without
// a search string is kept (it takes no part in the guess); one whose encoding does not read
// comes back as Mac OS Roman.
class AlternateEncodingSpecs {
public:
    static constexpr const char* Key = "alternateEncodingSpecs";
    static std::vector<cIPTCRecord::EncodingSpec> load(const UserDefaults& defaults);
    static void store(UserDefaults& defaults, const std::vector<cIPTCRecord::EncodingSpec>& specs);
};

} // namespace qm
