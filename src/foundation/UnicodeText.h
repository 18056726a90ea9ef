#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// A stretch of text in UTF-16 units; a range that was not found has location NotFound.
struct TextRange {
    static constexpr std::size_t NotFound = static_cast<std::size_t>(-1);
    std::size_t location = NotFound;
    std::size_t length = 0;

    bool found() const { return location != NotFound; }
    std::size_t end() const { return location + length; }
    bool operator==(const TextRange&) const = default;
};

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

    // The first occurrence of `value`, compared literally (case-insensitively unless asked);
    // an empty value is never found.
    static TextRange find(std::string_view text, std::string_view value, bool caseSensitive);
    static bool equalsIgnoringCase(std::string_view a, std::string_view b);
    // The part of the text in the range, clamped to the text.
    static std::string substring(std::string_view text, std::size_t location, std::size_t length);
    static std::string substringFrom(std::string_view text, std::size_t location);

    static bool isWhitespaceOrNewline(char32_t c);
    static bool isLineBreak(char32_t c);
    static bool isPunctuation(char32_t c);
    // White space and line breaks removed from both ends.
    static std::string trimmed(std::string_view text);
    // Every line-break character replaced by one space (CR LF gives two).
    static std::string replacingLineBreaksWithSpaces(std::string_view text);
    // Every occurrence of `search` replaced, left to right, literally.
    static std::string replacingOccurrences(std::string_view text, std::string_view search,
                                            std::string_view replacement, bool caseSensitive);
    // Case mappings that do not depend on the user's language.
    static std::string uppercased(std::string_view text);
    static std::string lowercased(std::string_view text);
    // The first letter of each word upper case, the other letters lower case.
    static std::string capitalized(std::string_view text);
};

} // namespace qm
