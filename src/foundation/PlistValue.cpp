#include "foundation/PlistValue.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace qm {

namespace {

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view space = " \t\n\r\f\v";
    const auto first = text.find_first_not_of(space);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(space);
    return text.substr(first, last - first + 1);
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// A whole integer, or a whole real number, with optional surrounding white space and a leading '+'.
std::optional<std::int64_t> parseInteger(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int64_t value = 0;
    const auto* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error == std::errc() && ptr == end && !text.empty())
        return value;
    return std::nullopt;
}

std::optional<double> parseReal(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (error == std::errc() && ptr == end && !text.empty())
        return value;
    return std::nullopt;
}

// Truncates toward zero; out-of-range values are clamped, NaN has no integer reading.
std::optional<std::int64_t> truncated(double value)
{
    if (std::isnan(value))
        return std::nullopt;
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value < -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

} // namespace

PlistValue::PlistValue() = default;
PlistValue::PlistValue(bool value) : mStorage(value) {}
PlistValue::PlistValue(Integer value) : mStorage(value.value) {}
PlistValue::PlistValue(double value) : mStorage(value) {}
PlistValue::PlistValue(std::string value) : mStorage(std::move(value)) {}
PlistValue::PlistValue(std::string_view value) : mStorage(std::string(value)) {}
PlistValue::PlistValue(const char* value)
{
    if (value)
        mStorage = std::string(value);
}
PlistValue::PlistValue(PlistData value) : mStorage(std::move(value)) {}
PlistValue::PlistValue(PlistDate value) : mStorage(value) {}
PlistValue::PlistValue(PlistArray value) : mStorage(std::make_unique<PlistArray>(std::move(value))) {}
PlistValue::PlistValue(PlistDictionary value)
    : mStorage(std::make_unique<PlistDictionary>(std::move(value)))
{
}

PlistValue::PlistValue(const PlistValue& other)
{
    *this = other;
}

PlistValue::PlistValue(PlistValue&& other) noexcept : mStorage(std::move(other.mStorage))
{
    other.mStorage = std::monostate{};
}

PlistValue& PlistValue::operator=(const PlistValue& other)
{
    if (this == &other)
        return *this;
    std::visit(
        [this](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::unique_ptr<PlistArray>>)
                mStorage = std::make_unique<PlistArray>(*value);
            else if constexpr (std::is_same_v<T, std::unique_ptr<PlistDictionary>>)
                mStorage = std::make_unique<PlistDictionary>(*value);
            else
                mStorage = value;
        },
        other.mStorage);
    return *this;
}

PlistValue& PlistValue::operator=(PlistValue&& other) noexcept
{
    if (this != &other) {
        mStorage = std::move(other.mStorage);
        other.mStorage = std::monostate{};
    }
    return *this;
}

PlistValue::~PlistValue() = default;

PlistValue::Type PlistValue::type() const
{
    return static_cast<Type>(mStorage.index());
}

const bool* PlistValue::boolean() const
{
    return std::get_if<bool>(&mStorage);
}

const std::int64_t* PlistValue::integer() const
{
    return std::get_if<std::int64_t>(&mStorage);
}

const double* PlistValue::real() const
{
    return std::get_if<double>(&mStorage);
}

const std::string* PlistValue::string() const
{
    return std::get_if<std::string>(&mStorage);
}

const PlistData* PlistValue::data() const
{
    return std::get_if<PlistData>(&mStorage);
}

const PlistDate* PlistValue::date() const
{
    return std::get_if<PlistDate>(&mStorage);
}

const PlistArray* PlistValue::array() const
{
    const auto* pointer = std::get_if<std::unique_ptr<PlistArray>>(&mStorage);
    return pointer ? pointer->get() : nullptr;
}

const PlistDictionary* PlistValue::dictionary() const
{
    const auto* pointer = std::get_if<std::unique_ptr<PlistDictionary>>(&mStorage);
    return pointer ? pointer->get() : nullptr;
}

PlistArray* PlistValue::array()
{
    auto* pointer = std::get_if<std::unique_ptr<PlistArray>>(&mStorage);
    return pointer ? pointer->get() : nullptr;
}

PlistDictionary* PlistValue::dictionary()
{
    auto* pointer = std::get_if<std::unique_ptr<PlistDictionary>>(&mStorage);
    return pointer ? pointer->get() : nullptr;
}

std::optional<std::int64_t> PlistValue::asInteger() const
{
    if (const auto* value = boolean())
        return *value ? 1 : 0;
    if (const auto* value = integer())
        return *value;
    if (const auto* value = real())
        return truncated(*value);
    if (const auto* value = string()) {
        if (auto parsed = parseInteger(*value))
            return parsed;
        if (auto parsed = parseReal(*value))
            return truncated(*parsed);
    }
    return std::nullopt;
}

std::optional<double> PlistValue::asReal() const
{
    if (const auto* value = boolean())
        return *value ? 1.0 : 0.0;
    if (const auto* value = integer())
        return static_cast<double>(*value);
    if (const auto* value = real())
        return *value;
    if (const auto* value = string())
        return parseReal(*value);
    return std::nullopt;
}

std::optional<bool> PlistValue::asBoolean() const
{
    if (const auto* value = boolean())
        return *value;
    if (const auto* value = integer())
        return *value != 0;
    if (const auto* value = real())
        return *value != 0;
    if (const auto* value = string()) {
        const auto text = trimmed(*value);
        if (equalsIgnoringAsciiCase(text, "YES") || equalsIgnoringAsciiCase(text, "true"))
            return true;
        if (equalsIgnoringAsciiCase(text, "NO") || equalsIgnoringAsciiCase(text, "false"))
            return false;
        if (auto number = parseReal(text))
            return *number != 0;
    }
    return std::nullopt;
}

const PlistValue* PlistValue::find(std::string_view key) const
{
    const auto* members = dictionary();
    if (!members)
        return nullptr;
    auto found = members->find(key);
    return found == members->end() ? nullptr : &found->second;
}

bool PlistValue::operator==(const PlistValue& other) const
{
    if (type() != other.type())
        return false;
    if (const auto* members = array())
        return *members == *other.array();
    if (const auto* members = dictionary())
        return *members == *other.dictionary();
    return mStorage == other.mStorage;
}

} // namespace qm
