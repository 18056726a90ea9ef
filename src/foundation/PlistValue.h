#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace qm {

class PlistValue;

using PlistData = std::vector<std::uint8_t>;
using PlistArray = std::vector<PlistValue>;
using PlistDictionary = std::map<std::string, PlistValue, std::less<>>;

// A point in time as property lists store it: seconds since 2001-01-01 00:00:00 UTC.
struct PlistDate {
    double secondsSinceReferenceDate = 0;
    bool operator==(const PlistDate&) const = default;
};

// One property-list value with value semantics: null, boolean, integer, real, string (UTF-8),
// data, date, array or dictionary.
class PlistValue {
public:
    enum class Type { Null, Boolean, Integer, Real, String, Data, Date, Array, Dictionary };

    PlistValue();
    PlistValue(bool value);
    template <typename T>
        requires(std::is_integral_v<T> && !std::is_same_v<T, bool>)
    PlistValue(T value) : PlistValue(Integer{static_cast<std::int64_t>(value)}) {}
    PlistValue(double value);
    PlistValue(std::string value);
    PlistValue(std::string_view value);
    PlistValue(const char* value);
    PlistValue(PlistData value);
    PlistValue(PlistDate value);
    PlistValue(PlistArray value);
    PlistValue(PlistDictionary value);

    PlistValue(const PlistValue& other);
    PlistValue(PlistValue&& other) noexcept;
    PlistValue& operator=(const PlistValue& other);
    PlistValue& operator=(PlistValue&& other) noexcept;
    ~PlistValue();

    Type type() const;
    bool isNull() const { return type() == Type::Null; }

    // Strict accessors: null unless the value has exactly that type.
    const bool* boolean() const;
    const std::int64_t* integer() const;
    const double* real() const;
    const std::string* string() const;
    const PlistData* data() const;
    const PlistDate* date() const;
    const PlistArray* array() const;
    const PlistDictionary* dictionary() const;
    PlistArray* array();
    PlistDictionary* dictionary();

    // Lenient readings, as user defaults answer them: numbers from booleans, integers, reals
    // and numeric strings; booleans from numbers and from "YES"/"NO"/"true"/"false" strings.
    std::optional<std::int64_t> asInteger() const;
    std::optional<double> asReal() const;
    std::optional<bool> asBoolean() const;

    // The member of a dictionary, or null when this is not a dictionary or has no such key.
    const PlistValue* find(std::string_view key) const;

    bool operator==(const PlistValue& other) const;

private:
    struct Integer {
        std::int64_t value;
    };
    explicit PlistValue(Integer value);

    using Storage = std::variant<std::monostate, bool, std::int64_t, double, std::string, PlistData,
                                 PlistDate, std::unique_ptr<PlistArray>, std::unique_ptr<PlistDictionary>>;
    Storage mStorage;
};

} // namespace qm
