#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// Operations on UTF-8 text that count and compare characters as the user sees them, with ICU.
// Lengths and positions are UTF-16 code units, as ranges of text are measured everywhere.
class UnicodeText {
public:
    // Collation in the user's locale: negative, zero or positive.
    static int compareLocalized(std::string_view a, std::string_view b);
    static int compareLocalizedCaseInsensitive(std::string_view a, std::string_view b);

    static std::size_t utf16Length(std::string_view text);
    // The first `units` UTF-16 units of the text, never splitting a surrogate pair.
    static std::string utf16Prefix(std::string_view text, std::size_t units);

    // Whether the text holds any of the characters (code points) of `characters`.
    static bool containsAnyCharacterOf(std::string_view text, std::string_view characters);
};

} // namespace qm
