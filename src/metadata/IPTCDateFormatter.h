#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Presents IIM dates (CCYYMMDD) and times (HHMMSS±HHMM) in the user's locale.
class IPTCDateFormatter {
public:
    // The full date style, or nothing when the text is not a valid CCYYMMDD date.
    static std::optional<std::string> fullDate(std::string_view text);
    // The full time style in the text's own offset, or nothing when it is not HHMMSS±HHMM.
    static std::optional<std::string> fullTime(std::string_view text);
};

} // namespace qm
