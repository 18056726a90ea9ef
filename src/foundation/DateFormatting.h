#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Date parsing and presentation with ICU in the user's locale. Safe to call from any thread.
class DateFormatting {
public:
    enum class Style { None, Short, Medium, Long, Full };

    struct ParsedDate {
        double millisecondsSince1970 = 0;
        // Set when the pattern had a zone field: the offset the text gave, in minutes east of UTC.
        std::optional<std::int32_t> utcOffsetMinutes;
    };

    // Strict parse of the whole text with an ICU pattern ("yyyyMMdd", "HHmmssxx"); fields the
    // pattern lacks take their defaults, in the local time zone unless the text gives an offset.
    // Nothing when the text does not match completely.
    static std::optional<ParsedDate> parse(std::string_view text, std::string_view pattern);

    // The date and/or time in the given styles of the user's locale, in the local time zone or,
    // when given, in a zone of that fixed offset.
    static std::string format(double millisecondsSince1970, Style dateStyle, Style timeStyle,
                              std::optional<std::int32_t> utcOffsetMinutes = std::nullopt);
};

} // namespace qm
