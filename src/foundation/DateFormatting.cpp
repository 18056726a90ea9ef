#include "foundation/DateFormatting.h"

#include "foundation/Log.h"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/simpletz.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/uchar.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace qm {

namespace {

constexpr std::int32_t kMillisecondsPerMinute = 60 * 1000;
constexpr std::int32_t kLargestOffsetMinutes = 24 * 60 - 1;

icu::UnicodeString toUnicode(std::string_view text)
{
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string toUTF8(const icu::UnicodeString& text)
{
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

// Patterns describe machine-written dates: they are read in the Gregorian calendar with ASCII
// digits whatever the user's locale prefers, while names (months, weekdays) stay the locale's.
icu::Locale parsingLocale()
{
    icu::Locale locale = icu::Locale::getDefault();
    UErrorCode status = U_ZERO_ERROR;
    locale.setKeywordValue("calendar", "gregorian", status);
    locale.setKeywordValue("numbers", "latn", status);
    return locale;
}

// True when the pattern has a zone field outside quoted literal text.
bool hasZoneField(std::string_view pattern)
{
    bool quoted = false;
    for (char character : pattern) {
        if (character == '\'')
            quoted = !quoted;
        else if (!quoted && std::string_view("zZOvVxX").find(character) != std::string_view::npos)
            return true;
    }
    return false;
}

bool isPatternLetter(char character)
{
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z');
}

// The literal text after the pattern's last field ("+Z2" of "HHmmss'+Z2'").
icu::UnicodeString trailingLiteral(std::string_view pattern)
{
    std::string literal;
    bool quoted = false;
    for (size_t index = 0; index < pattern.size(); ++index) {
        const char character = pattern[index];
        if (character == '\'' && index + 1 < pattern.size() && pattern[index + 1] == '\'') {
            literal += character;
            ++index;
        } else if (character == '\'') {
            quoted = !quoted;
        } else if (!quoted && isPatternLetter(character)) {
            literal.clear();
        } else {
            literal += character;
        }
    }
    return toUnicode(literal);
}

bool hasWhiteSpace(const icu::UnicodeString& text)
{
    for (int32_t index = 0; index < text.length(); index = text.moveIndex32(index, 1)) {
        if (u_isUWhiteSpace(text.char32At(index)))
            return true;
    }
    return false;
}

// ICU skips white space before numeric fields even when parsing strictly.
bool mayMatch(const icu::UnicodeString& text, std::string_view pattern)
{
    return !hasWhiteSpace(text) || hasWhiteSpace(toUnicode(pattern));
}

// A parse that fails leaves the position where it was. ICU accepts a text that ends inside the
// pattern's trailing literal.
bool matchedCompletely(const icu::UnicodeString& text, std::string_view pattern, const icu::ParsePosition& position)
{
    return position.getIndex() > 0 && position.getIndex() == text.length() && position.getErrorIndex() < 0 &&
           text.endsWith(trailingLiteral(pattern));
}

// This thread's strict parser for a pattern in the current default locale.
const icu::SimpleDateFormat* parser(std::string_view pattern)
{
    thread_local std::map<std::string, std::unique_ptr<icu::SimpleDateFormat>> parsers;
    const icu::Locale locale = parsingLocale();
    std::string key = std::string(locale.getName()) + '\n' + std::string(pattern);
    auto found = parsers.find(key);
    if (found != parsers.end())
        return found->second.get();
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(toUnicode(pattern), locale, status);
    if (U_FAILURE(status)) {
        Log::format("cannot make a date parser for pattern \"%s\": %s", std::string(pattern).c_str(),
                    u_errorName(status));
        return nullptr;
    }
    format->setLenient(false);
    format->setBooleanAttribute(UDAT_PARSE_ALLOW_WHITESPACE, false, status);
    format->setBooleanAttribute(UDAT_PARSE_PARTIAL_LITERAL_MATCH, false, status);
    return parsers.emplace(std::move(key), std::move(format)).first->second.get();
}

icu::DateFormat::EStyle icuStyle(DateFormatting::Style style)
{
    switch (style) {
    case DateFormatting::Style::None: return icu::DateFormat::kNone;
    case DateFormatting::Style::Short: return icu::DateFormat::kShort;
    case DateFormatting::Style::Medium: return icu::DateFormat::kMedium;
    case DateFormatting::Style::Long: return icu::DateFormat::kLong;
    case DateFormatting::Style::Full: return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kNone;
}

// This thread's presenter for the styles in the current default locale.
icu::DateFormat* presenter(DateFormatting::Style dateStyle, DateFormatting::Style timeStyle)
{
    thread_local std::map<std::string, std::unique_ptr<icu::DateFormat>> presenters;
    const icu::Locale& locale = icu::Locale::getDefault();
    std::string key = std::string(locale.getName()) + '\n' + std::to_string(static_cast<int>(dateStyle)) +
                      std::to_string(static_cast<int>(timeStyle));
    auto found = presenters.find(key);
    if (found != presenters.end())
        return found->second.get();
    std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle), icuStyle(timeStyle), locale));
    if (!format) {
        Log::format("cannot make a date presenter for locale %s", locale.getName());
        return nullptr;
    }
    return presenters.emplace(std::move(key), std::move(format)).first->second.get();
}

icu::TimeZone* presentationZone(std::optional<std::int32_t> utcOffsetMinutes)
{
    if (!utcOffsetMinutes)
        return icu::TimeZone::createDefault();
    if (std::abs(*utcOffsetMinutes) > kLargestOffsetMinutes) {
        Log::format("ignoring a UTC offset of %d minutes", static_cast<int>(*utcOffsetMinutes));
        return icu::TimeZone::createDefault();
    }
    // An identifier of no known zone, so that the zone is presented by its offset.
    return new icu::SimpleTimeZone(*utcOffsetMinutes * kMillisecondsPerMinute, "Quillmark fixed offset");
}

} // namespace

std::optional<DateFormatting::ParsedDate> DateFormatting::parse(std::string_view text, std::string_view pattern)
{
    const icu::SimpleDateFormat* format = parser(pattern);
    const icu::UnicodeString unicodeText = toUnicode(text);
    if (format == nullptr || !mayMatch(unicodeText, pattern))
        return std::nullopt;
    std::unique_ptr<icu::Calendar> calendar(format->getCalendar()->clone());
    calendar->clear();
    calendar->adoptTimeZone(icu::TimeZone::createDefault());
    icu::ParsePosition position(0);
    format->parse(unicodeText, *calendar, position);
    if (!matchedCompletely(unicodeText, pattern, position))
        return std::nullopt;

    UErrorCode status = U_ZERO_ERROR;
    ParsedDate parsed;
    parsed.millisecondsSince1970 = calendar->getTime(status);
    const std::int32_t offset = calendar->get(UCAL_ZONE_OFFSET, status) + calendar->get(UCAL_DST_OFFSET, status);
    if (U_FAILURE(status))
        return std::nullopt;
    if (hasZoneField(pattern))
        parsed.utcOffsetMinutes = offset / kMillisecondsPerMinute;
    return parsed;
}

std::string DateFormatting::format(double millisecondsSince1970, Style dateStyle, Style timeStyle,
                                   std::optional<std::int32_t> utcOffsetMinutes)
{
    if (dateStyle == Style::None && timeStyle == Style::None)
        return {};
    icu::DateFormat* format = presenter(dateStyle, timeStyle);
    if (format == nullptr)
        return {};
    format->adoptTimeZone(presentationZone(utcOffsetMinutes));
    icu::UnicodeString text;
    format->format(millisecondsSince1970, text);
    return toUTF8(text);
}

} // namespace qm
