#include "foundation/UnicodeText.h"

#include <memory>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

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
