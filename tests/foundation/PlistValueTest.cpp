#include "foundation/PlistValue.h"

#include "PlistTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qm {
namespace {

using Type = PlistValue::Type;

PlistValue nested()
{
    return PlistDictionary{
        {"list", PlistArray{1, "two", PlistDictionary{{"three", 3.0}}}},
        {"flag", true},
    };
}

TEST(PlistValueTest, TypeAndStrictAccessors)
{
    struct Case {
        const char* name;
        PlistValue value;
        Type type;
    };
    const Case cases[] = {
        {"null", PlistValue(), Type::Null},
        {"bool", true, Type::Boolean},
        {"int", 42, Type::Integer},
        {"unsigned char", static_cast<unsigned char>(7), Type::Integer},
        {"int64 min", std::numeric_limits<std::int64_t>::min(), Type::Integer},
        {"real", 2.5, Type::Real},
        {"std::string", std::string("text"), Type::String},
        {"string_view", std::string_view("text"), Type::String},
        {"C string", "text", Type::String},
        {"null C string", static_cast<const char*>(nullptr), Type::Null},
        {"data", PlistData{1, 2, 3}, Type::Data},
        {"date", PlistDate{12.5}, Type::Date},
        {"array", PlistArray{1, 2}, Type::Array},
        {"dictionary", PlistDictionary{{"a", 1}}, Type::Dictionary},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PlistValue& v = c.value;
        EXPECT_EQ(v.type(), c.type);
        EXPECT_EQ(v.isNull(), c.type == Type::Null);
        EXPECT_EQ(v.boolean() != nullptr, c.type == Type::Boolean);
        EXPECT_EQ(v.integer() != nullptr, c.type == Type::Integer);
        EXPECT_EQ(v.real() != nullptr, c.type == Type::Real);
        EXPECT_EQ(v.string() != nullptr, c.type == Type::String);
        EXPECT_EQ(v.data() != nullptr, c.type == Type::Data);
        EXPECT_EQ(v.date() != nullptr, c.type == Type::Date);
        EXPECT_EQ(v.array() != nullptr, c.type == Type::Array);
        EXPECT_EQ(v.dictionary() != nullptr, c.type == Type::Dictionary);
    }
    EXPECT_EQ(*PlistValue(42).integer(), 42);
    EXPECT_EQ(*PlistValue("text").string(), "text");
    EXPECT_EQ(PlistValue(PlistDate{12.5}).date()->secondsSinceReferenceDate, 12.5);
    EXPECT_EQ(*PlistValue(PlistData{1, 2, 3}).data(), (PlistData{1, 2, 3}));
}

TEST(PlistValueTest, CopiesAreDeep)
{
    const PlistValue original = nested();

    PlistValue copy = original;
    (*copy.dictionary())["flag"] = false;
    (*(*copy.dictionary())["list"].array())[0] = 100;
    (*(*(*copy.dictionary())["list"].array())[2].dictionary())["three"] = "changed";
    EXPECT_EQ(original, nested()) << "changing a copy changed the original";
    EXPECT_NE(copy, original);

    PlistValue assigned;
    assigned = original;
    EXPECT_EQ(assigned, original);
    (*assigned.dictionary()).erase("list");
    EXPECT_EQ(original, nested());

    PlistValue self = nested();
    self = static_cast<const PlistValue&>(self);
    EXPECT_EQ(self, nested());
}

TEST(PlistValueTest, MovedFromValueIsNull)
{
    PlistValue source = nested();
    PlistValue target = std::move(source);
    EXPECT_EQ(target, nested());
    EXPECT_TRUE(source.isNull()); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(source.dictionary(), nullptr);

    PlistValue other = PlistArray{1};
    other = std::move(target);
    EXPECT_EQ(other, nested());
    EXPECT_TRUE(target.isNull()); // NOLINT(bugprone-use-after-move)
}

TEST(PlistValueTest, LenientReadings)
{
    constexpr auto none = std::nullopt;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    struct Case {
        const char* name;
        PlistValue value;
        std::optional<std::int64_t> integer;
        std::optional<double> real;
        std::optional<bool> boolean;
    };
    const Case cases[] = {
        {"true", true, 1, 1.0, true},
        {"false", false, 0, 0.0, false},
        {"integer", 42, 42, 42.0, true},
        {"zero", 0, 0, 0.0, false},
        {"negative integer", -7, -7, -7.0, true},
        {"real truncates", 3.9, 3, 3.9, true},
        {"negative real truncates toward zero", -3.9, -3, -3.9, true},
        {"real zero", 0.0, 0, 0.0, false},
        {"huge real clamps", 1e300, kMax, 1e300, true},
        {"huge negative real clamps", -1e300, kMin, -1e300, true},
        {"numeric string", "42", 42, 42.0, true},
        {"signed string", "-17", -17, -17.0, true},
        {"plus sign", "+5", 5, 5.0, true},
        {"string with spaces", "  12 ", 12, 12.0, true},
        {"real string truncates", "3.75", 3, 3.75, true},
        {"exponent string", "1e3", 1000, 1000.0, true},
        {"zero string", "0", 0, 0.0, false},
        {"YES", "YES", none, none, true},
        {"yes", "yes", none, none, true},
        {"true string", "true", none, none, true},
        {"TRUE string", "TRUE", none, none, true},
        {"NO", "NO", none, none, false},
        {"false string", "false", none, none, false},
        {"word", "maybe", none, none, none},
        {"trailing text", "12abc", none, none, none},
        {"hexadecimal", "0x10", none, none, none},
        {"empty string", "", none, none, none},
        {"data", PlistData{1}, none, none, none},
        {"date", PlistDate{1}, none, none, none},
        {"array", PlistArray{1}, none, none, none},
        {"dictionary", PlistDictionary{{"a", 1}}, none, none, none},
        {"null", PlistValue(), none, none, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value.asInteger(), c.integer);
        EXPECT_EQ(c.value.asReal(), c.real);
        EXPECT_EQ(c.value.asBoolean(), c.boolean);
    }
}

TEST(PlistValueTest, NotANumberHasNoIntegerReading)
{
    const PlistValue value = std::nan("");
    EXPECT_EQ(value.asInteger(), std::nullopt);
    ASSERT_TRUE(value.asReal());
    EXPECT_TRUE(std::isnan(*value.asReal()));
    EXPECT_EQ(value.asBoolean(), true); // as C: NaN is not zero
    EXPECT_FALSE(value == value) << "NaN compares unequal, as a double does";
}

TEST(PlistValueTest, EqualityIsDeepAndTyped)
{
    struct Case {
        const char* name;
        PlistValue a;
        PlistValue b;
        bool equal;
    };
    const Case cases[] = {
        {"nulls", PlistValue(), PlistValue(), true},
        {"same nested", nested(), nested(), true},
        {"nested element differs", nested(),
         PlistDictionary{{"list", PlistArray{1, "two", PlistDictionary{{"three", 4.0}}}}, {"flag", true}}, false},
        {"extra key", nested(), PlistDictionary{{"list", PlistArray{}}, {"flag", true}, {"x", 1}}, false},
        {"integer vs real", 1, 1.0, false},
        {"integer vs boolean", 1, true, false},
        {"string vs data", "a", PlistData{'a'}, false},
        {"empty array vs empty dictionary", PlistArray{}, PlistDictionary{}, false},
        {"empty array vs null", PlistArray{}, PlistValue(), false},
        {"dates", PlistDate{1.5}, PlistDate{1.5}, true},
        {"different dates", PlistDate{1.5}, PlistDate{2.5}, false},
        {"array order matters", PlistArray{1, 2}, PlistArray{2, 1}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.a == c.b, c.equal);
        EXPECT_EQ(c.b == c.a, c.equal);
    }
}

TEST(PlistValueTest, FindLooksUpDictionaryMembersOnly)
{
    const PlistValue value = nested();
    ASSERT_NE(value.find("flag"), nullptr);
    EXPECT_EQ(*value.find("flag"), PlistValue(true));
    EXPECT_EQ(value.find("missing"), nullptr);
    EXPECT_EQ(PlistValue(PlistArray{1}).find("flag"), nullptr);
    EXPECT_EQ(PlistValue("flag").find("flag"), nullptr);
}

} // namespace
} // namespace qm
