#include "foundation/UnicodeText.h"

#include <memory>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>
#include <unicode/uchar.h>
#include <algorithm>

namespace qm {

namespace {

// Collators are not safe to share while being configured, so each thread keeps its own.
icu::Collator* collator(icu::Collator::ECollationStrength strength)
{
    thread_local std::unique_ptr<icu::Collator> tertiary;
    thread_local std::unique_ptr<icu::Collator> secondary;
    auto& slot = strength == icu::Collator::SECONDARY ? secondary : tertiary;
    if (!slot) {
        UErrorCode status = U_ZERO_ERROR;
        slot.reset(icu::Collator::createInstance(icu::Locale::getDefault(), status));
        if (U_FAILURE(status) || !slot)
            return nullptr;
        slot->setStrength(strength);
    }
    return slot.get();
}

int compareWith(icu::Collator::ECollationStrength strength, std::string_view a, std::string_view b)
{
    icu::Collator* c = collator(strength);
    if (!c)
        return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    UErrorCode status = U_ZERO_ERROR;
    auto result = c->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                                 icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    return result == UCOL_LESS ? -1 : (result == UCOL_EQUAL ? 0 : 1);
}

icu::UnicodeString toUnicode(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

} // namespace

int UnicodeText::compareLocalized(std::string_view a, std::string_view b)
{
    return compareWith(icu::Collator::TERTIARY, a, b);
}

int UnicodeText::compareLocalizedCaseInsensitive(std::string_view a, std::string_view b)
{
    return compareWith(icu::Collator::SECONDARY, a, b);
}

std::size_t UnicodeText::utf16Length(std::string_view text)
{
    return static_cast<std::size_t>(toUnicode(text).length());
}

std::string UnicodeText::utf16Prefix(std::string_view text, std::size_t units)
{
    icu::UnicodeString unicode = toUnicode(text);
    if (units >= static_cast<std::size_t>(unicode.length()))
        return std::string(text);
    auto end = static_cast<int32_t>(units);
    if (end > 0 && U16_IS_LEAD(unicode.charAt(end - 1)))
        --end;
    std::string result;
    unicode.tempSubString(0, end).toUTF8String(result);
    return result;
}

bool UnicodeText::containsAnyCharacterOf(std::string_view text, std::string_view characters)
{
    std::size_t index = 0;
    const auto length = static_cast<int32_t>(characters.size());
    while (index < characters.size()) {
        const std::size_t start = index;
        auto offset = static_cast<int32_t>(index);
        UChar32 character = 0;
        U8_NEXT(characters.data(), offset, length, character);
        index = static_cast<std::size_t>(offset);
        if (character < 0)
            continue; // not a character: nothing to look for
        if (text.find(characters.substr(start, index - start)) != std::string_view::npos)
            return true;
    }
    return false;
}

} // namespace qm

namespace qm {

namespace {

std::string toUTF8(const icu::UnicodeString& text)
{
    std::string result;
    text.toUTF8String(result);
    return result;
}

// Simple case folding, one code point for one, keeping every UTF-16 offset of the text.
icu::UnicodeString foldedKeepingOffsets(const icu::UnicodeString& text)
{
    icu::UnicodeString folded;
    for (int32_t i = 0; i < text.length();) {
        const UChar32 c = text.char32At(i);
        UChar32 f = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        if (U16_LENGTH(f) != U16_LENGTH(c))
            f = c;
        folded.append(f);
        i += U16_LENGTH(c);
    }
    return folded;
}

int32_t indexOf(const icu::UnicodeString& text, const icu::UnicodeString& value, bool caseSensitive)
{
    if (caseSensitive)
        return text.indexOf(value);
    return foldedKeepingOffsets(text).indexOf(foldedKeepingOffsets(value));
}

int32_t clampedIndex(const icu::UnicodeString& text, std::size_t index)
{
    return index >= static_cast<std::size_t>(text.length()) ? text.length() : static_cast<int32_t>(index);
}

} // namespace

TextRange UnicodeText::find(std::string_view text, std::string_view value, bool caseSensitive)
{
    if (value.empty())
        return {};
    const icu::UnicodeString pattern = toUnicode(value);
    const int32_t index = indexOf(toUnicode(text), pattern, caseSensitive);
    if (index < 0)
        return {};
    return {static_cast<std::size_t>(index), static_cast<std::size_t>(pattern.length())};
}

bool UnicodeText::equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return foldedKeepingOffsets(toUnicode(a)) == foldedKeepingOffsets(toUnicode(b));
}

std::string UnicodeText::substring(std::string_view text, std::size_t location, std::size_t length)
{
    const icu::UnicodeString unicode = toUnicode(text);
    const int32_t start = clampedIndex(unicode, location);
    const int32_t end = clampedIndex(unicode, location + std::min(length, TextRange::NotFound - location));
    return toUTF8(unicode.tempSubString(start, end - start));
}

std::string UnicodeText::substringFrom(std::string_view text, std::size_t location)
{
    return substring(text, location, TextRange::NotFound);
}

bool UnicodeText::isWhitespaceOrNewline(char32_t c)
{
    return u_isUWhiteSpace(static_cast<UChar32>(c));
}

bool UnicodeText::isLineBreak(char32_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool UnicodeText::isPunctuation(char32_t c)
{
    return u_ispunct(static_cast<UChar32>(c));
}

std::string UnicodeText::trimmed(std::string_view text)
{
    const icu::UnicodeString unicode = toUnicode(text);
    int32_t start = 0;
    int32_t end = unicode.length();
    while (start < end && isWhitespaceOrNewline(unicode.char32At(start)))
        start = unicode.moveIndex32(start, 1);
    while (end > start && isWhitespaceOrNewline(unicode.char32At(unicode.moveIndex32(end, -1))))
        end = unicode.moveIndex32(end, -1);
    return toUTF8(unicode.tempSubString(start, end - start));
}

std::string UnicodeText::replacingLineBreaksWithSpaces(std::string_view text)
{
    icu::UnicodeString unicode = toUnicode(text);
    for (int32_t i = 0; i < unicode.length(); ++i)
        if (isLineBreak(unicode.charAt(i)))
            unicode.setCharAt(i, u' ');
    return toUTF8(unicode);
}

std::string UnicodeText::replacingOccurrences(std::string_view text, std::string_view search,
                                              std::string_view replacement, bool caseSensitive)
{
    if (search.empty())
        return std::string(text);
    const icu::UnicodeString source = toUnicode(text);
    const icu::UnicodeString pattern = toUnicode(search);
    const icu::UnicodeString replacementText = toUnicode(replacement);
    const icu::UnicodeString haystack = caseSensitive ? source : foldedKeepingOffsets(source);
    const icu::UnicodeString needle = caseSensitive ? pattern : foldedKeepingOffsets(pattern);
    icu::UnicodeString result;
    int32_t from = 0;
    for (int32_t index; (index = haystack.indexOf(needle, from)) >= 0; from = index + pattern.length())
        result.append(source, from, index - from).append(replacementText);
    result.append(source, from, source.length() - from);
    return toUTF8(result);
}

std::string UnicodeText::uppercased(std::string_view text)
{
    return toUTF8(toUnicode(text).toUpper(icu::Locale::getRoot()));
}

std::string UnicodeText::lowercased(std::string_view text)
{
    return toUTF8(toUnicode(text).toLower(icu::Locale::getRoot()));
}

std::string UnicodeText::capitalized(std::string_view text)
{
    const icu::UnicodeString unicode = toUnicode(text);
    icu::UnicodeString result;
    bool startOfWord = true;
    for (int32_t i = 0; i < unicode.length(); i = unicode.moveIndex32(i, 1)) {
        const UChar32 c = unicode.char32At(i);
        result.append(startOfWord ? u_totitle(c) : u_tolower(c));
        startOfWord = isWhitespaceOrNewline(c);
    }
    return toUTF8(result);
}

} // namespace qm
