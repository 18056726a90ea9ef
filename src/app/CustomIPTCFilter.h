#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foundation/PlistValue.h"
#include "metadata/cIPTCCode.h"
#include "metadata/cIPTCRecord.h"

namespace qm {

class UserDefaults;

// The datasets the panel shows, in the user's order, with optional labels of the user's own.
// Stored under "customIPTCFilter" as a sequential archive of an array of dictionaries holding
// "iptcCode" (a code) and optionally "customLabel" (a string).
class CustomIPTCFilter {
public:
    struct Entry {
        cIPTCCode iptcCode;
        std::optional<std::string> customLabel;
        bool operator==(const Entry&) const = default;
    };

    static std::optional<PlistData> archive(const std::vector<Entry>& entries);
    // Entries that do not decode are left out (logged); data that is no archive gives none.
    static std::vector<Entry> unarchive(std::span<const std::uint8_t> data);
    // The filter stored in the settings; none when unset.
    static std::vector<Entry> fromDefaults(const UserDefaults& defaults);

    // For each entry in order, every record with its code, in the records' order.
    static IPTCRecordArray filteredRecords(const IPTCRecordArray& records, const std::vector<Entry>& entries);
    // The label the panel shows for a code: the first entry's custom label while filtering is on,
    // else the code's name.
    static std::string labelForCode(const cIPTCCode& code, const UserDefaults& defaults);
};

} // namespace qm
