#include <gtest/gtest.h>

#include "foundation/UserDefaults.h"
#include "TextgenFixtures.h"

namespace qm {
namespace {

using test::rule;
using test::RuleSetup;
using test::utf8Records;
using Spec = iptcTextConcatSpec;
using Fields = cIPTCCodeWithExtras;

const std::optional<std::string> noPath;

TEST(iptcTextConcatSpec, ConditionKinds)
{
    struct Case {
        const char* name;
        IPTCRecordArray records;
        RuleSetup setup;
        std::optional<std::string> path;
        bool expected;
    };
    const Case cases[] = {
        {"is, case-insensitive", utf8Records({{110, "ap"}}), {.conditional = 110, .condition = 1, .values = "AP"}, noPath, true},
        {"is, case-sensitive", utf8Records({{110, "ap"}}), {.conditional = 110, .condition = 1, .values = "AP", .caseSensitive = true}, noPath, false},
        {"is, longer text", utf8Records({{110, "AP Photo"}}), {.conditional = 110, .condition = 1, .values = "AP"}, noPath, false},
        {"contains but is not, equal", utf8Records({{110, "AP"}}), {.conditional = 110, .condition = 2, .values = "AP"}, noPath, false},
        {"contains but is not, longer", utf8Records({{110, "AP Photo"}}), {.conditional = 110, .condition = 2, .values = "AP"}, noPath, true},
        {"contains, non-ASCII case", utf8Records({{90, "KÖLN"}}), {.conditional = 90, .condition = 3, .values = "köln"}, noPath, true},
        {"does not contain, absent field", utf8Records({{90, "x"}}), {.conditional = 110, .condition = 4, .values = "AP"}, noPath, false},
        {"does not contain", utf8Records({{110, "Reuters"}}), {.conditional = 110, .condition = 4, .values = "AP"}, noPath, true},
        {"begins with", utf8Records({{110, "AP Photo"}}), {.conditional = 110, .condition = 5, .values = "ap"}, noPath, true},
        {"does not begin with, found later", utf8Records({{110, "The AP"}}), {.conditional = 110, .condition = 6, .values = "AP"}, noPath, true},
        {"ends with, first occurrence only", utf8Records({{110, "ab cab"}}), {.conditional = 110, .condition = 7, .values = "ab"}, noPath, false},
        {"does not end with, first occurrence only", utf8Records({{110, "ab cab"}}), {.conditional = 110, .condition = 8, .values = "ab"}, noPath, true},
        {"is not empty, blanks", utf8Records({{110, " \r\n"}}), {.conditional = 110, .condition = 9}, noPath, false},
        {"is empty, absent field", utf8Records({}), {.conditional = 110, .condition = 10}, noPath, true},
        {"is empty, blanks", utf8Records({{110, " \t"}}), {.conditional = 110, .condition = 10}, noPath, true},
        {"no conditional field", utf8Records({}), {.condition = 3, .values = "x"}, noPath, true},
        {"unknown kind", utf8Records({{110, "AP"}}), {.conditional = 110, .condition = 42, .values = "AP"}, noPath, false},
        {"empty values never searched", utf8Records({{110, "AP"}}), {.conditional = 110, .condition = 3, .values = "|"}, noPath, false},
        {"all fields, no datasets", utf8Records({}), {.conditional = Fields::allIPTCFields, .condition = 9}, noPath, true},
        {"any field, no datasets", utf8Records({}), {.conditional = Fields::anyIPTCField, .condition = 9}, noPath, false},
        {"all fields, one fails", utf8Records({{80, "A"}, {110, "B"}}), {.conditional = Fields::allIPTCFields, .condition = 3, .values = "A"}, noPath, false},
        {"any field", utf8Records({{80, "A"}, {110, "B"}}), {.conditional = Fields::anyIPTCField, .condition = 3, .values = "B"}, noPath, true},
        {"no field", utf8Records({{80, "A"}, {110, "B"}}), {.conditional = Fields::noIPTCFields, .condition = 3, .values = "C"}, noPath, true},
        {"two values both found count once", utf8Records({{110, "AP and Reuters"}}), {.conditional = 110, .condition = 3, .values = "AP|Reuters"}, noPath, true},
        {"file name", utf8Records({}), {.conditional = Fields::imageFileNameField, .condition = 5, .values = "dsc"}, "/photos/DSC_0001.jpg", true},
        {"file name, no path", utf8Records({}), {.conditional = Fields::imageFileNameField, .condition = 4, .values = "x"}, noPath, false},
        {"file name empty, no path", utf8Records({}), {.conditional = Fields::imageFileNameField, .condition = 10}, noPath, true},
    };
    for (const auto& c : cases) {
        auto spec = rule(c.setup);
        EXPECT_EQ(spec->conditionalIsTrue(c.records, c.path), c.expected) << c.name;
        EXPECT_EQ(spec->conditionalWasTrue(), c.expected) << c.name;
    }
}

TEST(iptcTextConcatSpec, ExtractedTextParts)
{
    struct Case {
        const char* name;
        IPTCRecordArray records;
        RuleSetup setup;
        std::optional<std::string> expected;
    };
    const auto caption = [](const char* text) { return utf8Records({{120, text}}); };
    const Case cases[] = {
        {"after match", caption("Foo Photo: Bar"), {.extracted = 120, .conditional = 120, .condition = 3, .values = "Photo:", .part = 4}, " Bar"},
        {"after match, trimmed", caption("Foo Photo: Bar"), {.extracted = 120, .conditional = 120, .condition = 3, .values = "Photo:", .part = 4, .trim = true}, "Bar"},
        {"after match, astral text before", caption("📷 Foto: Bär"), {.extracted = 120, .conditional = 120, .condition = 3, .values = "foto:", .part = 4}, " Bär"},
        {"before match", caption("Jürgen Müller Foto X"), {.extracted = 120, .conditional = 120, .condition = 3, .values = "Foto", .part = 0}, "Jürgen Müller "},
        {"through match", caption("Jürgen Foto X"), {.extracted = 120, .conditional = 120, .condition = 3, .values = "foto", .part = 1}, "Jürgen Foto"},
        {"matched value as written", caption("AP Photo"), {.extracted = 120, .conditional = 120, .condition = 3, .values = "ap", .part = 2}, "ap"},
        {"from match", caption("Foo Photo: Bar"), {.extracted = 120, .conditional = 120, .condition = 3, .values = "Photo", .part = 3}, "Photo: Bar"},
        {"without match", caption("Foo Photo: Bar"), {.extracted = 120, .conditional = 120, .condition = 3, .values = "Photo: ", .part = 5}, "Foo Bar"},
        {"match of another field leaves text whole", utf8Records({{80, "Anna"}, {120, "Foo Photo: Bar"}}), {.extracted = 80, .conditional = 120, .condition = 3, .values = "Photo:", .part = 4}, "Anna"},
        {"not-found match leaves text whole", caption("Foo"), {.extracted = 120, .conditional = 120, .condition = 4, .values = "Photo:", .part = 4}, "Foo"},
        {"matched field", utf8Records({{80, "Anna"}, {110, "dpa / Reuters"}}), {.extracted = Fields::matchedIPTCField, .conditional = Fields::anyIPTCField, .condition = 3, .values = "/ ", .part = 4}, "Reuters"},
        {"matched field of the file-name test", caption("x"), {.extracted = Fields::matchedIPTCField, .conditional = Fields::imageFileNameField, .condition = 9}, std::nullopt},
        {"no metadata fields gives no text", caption("x"), {.extracted = Fields::noIPTCFields}, std::nullopt},
        {"absent field", caption("x"), {.extracted = 80}, std::nullopt},
        {"first two words", caption("Smith, John Doe"), {.extracted = 120, .part = 8}, "Smith, John"},
        {"last two words", caption("John Doe Smith"), {.extracted = 120, .part = 13}, "Doe Smith"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rule(c.setup)->getText(c.records, "/tmp/picture.jpg"), c.expected) << c.name;
}

TEST(iptcTextConcatSpec, WordScanning)
{
    struct Case {
        const char* text;
        int count;
        std::string first;
        std::string last;
    };
    const Case cases[] = {
        {"Smith, John Doe", 2, "Smith, John", "John Doe"},
        {"Smith, John", 2, "Smith, John", "Smith,John"},
        {"John Doe Smith", 2, "John Doe", "Doe Smith"},
        {"  Jürgen Müller-Lüdenscheid.", 2, "  Jürgen Müller", "Müller-Lüdenscheid."},
        {"end.", 1, "end", "end."},
        {"... !", 1, "", ""},
        {"", 3, "", ""},
        {"one two", 4, "one two", "one two"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Spec::getInitialWords(c.text, c.count), c.first) << c.text;
        EXPECT_EQ(Spec::getFinalWords(c.text, c.count), c.last) << c.text;
    }
}

TEST(iptcTextConcatSpec, ListEvaluation)
{
    const auto records = utf8Records({{80, "Anna Berg"}, {110, "REUTERS"}, {115, "Reuters"}, {5, ""}});
    struct Case {
        const char* name;
        std::vector<RuleSetup> rules;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"nothing is absent", {{.extracted = 90}, {.extracted = 95, .prefix = "x"}}, std::nullopt},
        {"empty value keeps prefix and suffix", {{.extracted = 5, .prefix = "[", .suffix = "]"}}, "[]"},
        {"prefix needs previous text", {{.extracted = 80, .prefix = "Photo: ", .prefixRequiresPreviousText = true}}, "Anna Berg"},
        {"prefix after text", {{.extracted = 80}, {.extracted = 110, .prefix = " / ", .prefixRequiresPreviousText = true}}, "Anna Berg / REUTERS"},
        {"break after own text", {{.extracted = 80, .conditional = 80, .condition = 9, .breakIfTrue = true}, {.extracted = 110}}, "Anna Berg"},
        {"break not taken", {{.extracted = 80, .conditional = 80, .condition = 10, .breakIfTrue = true}, {.extracted = 110}}, "REUTERS"},
        {"no fields ends list", {{.extracted = Fields::noIPTCFields, .conditional = 80, .condition = 9, .breakIfTrue = true}, {.extracted = 110}}, std::nullopt},
        {"unicity 1 ignores case", {{.extracted = 110}, {.extracted = 115, .unicity = 1}}, "REUTERS"},
        {"unicity 1 with prefix and suffix", {{.extracted = 110}, {.extracted = 115, .unicity = 1, .prefix = " "}}, "REUTERS Reuters"},
        {"unicity 1 case-sensitive", {{.extracted = 110}, {.extracted = 115, .unicity = 1, .caseSensitive = true}}, "REUTERSReuters"},
        {"unicity 3 against a prefix", {{.extracted = 80, .prefix = "Reuters"}, {.extracted = 115, .unicity = 3}}, "ReutersAnna Berg"},
        {"unicity 2 never", {{.extracted = 80, .unicity = 2}}, std::nullopt},
        {"unicity 4", {{.extracted = 80, .prefix = "by "}, {.extracted = 110, .unicity = 4, .prefix = "by "}}, "by Anna Berg"},
        {"unicity 5", {{.extracted = 80, .suffix = "."}, {.extracted = 110, .unicity = 5, .suffix = "."}}, "Anna Berg."},
    };
    for (const auto& c : cases) {
        Spec::Array rules;
        for (const auto& setup : c.rules)
            rules.push_back(rule(setup));
        EXPECT_EQ(Spec::getTextWithSpecArray(rules, records, noPath), c.expected) << c.name;
    }
}

TEST(iptcTextConcatSpec, MissingFieldsAreRealFieldsTheRulesRead)
{
    const auto records = utf8Records({{80, "Anna"}});
    const Spec::Array rules{rule({.extracted = 110, .conditional = 115, .condition = 9}),
                            rule({.extracted = 80, .conditional = 120}), // condition 0: its field is not needed
                            rule({.extracted = Fields::matchedIPTCField, .conditional = Fields::anyIPTCField, .condition = 9})};
    const IPTCCodeSet expected{cIPTCCode(2, 110), cIPTCCode(2, 115)};
    EXPECT_EQ(Spec::missingRequiredIPTCFieldsWithSpecArray(rules, records), expected);
}

TEST(iptcTextConcatSpec, ArchiveAndValuesRoundTrip)
{
    auto original = rule({.extracted = Fields::matchedIPTCField, .conditional = 120, .condition = 7, .values = "a||b|",
                          .part = 12, .unicity = 5, .prefix = "p", .caseSensitive = true, .trim = true,
                          .breakIfTrue = true, .prefixRequiresPreviousText = true});
    EXPECT_EQ(original->conditionalValueArray()->size(), 4u);
    EXPECT_EQ(original->conditionalValueArrayStrings(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(original->conditionalValue(), "a, b");
    original->conditionalIsTrue(utf8Records({{120, "xb"}}), noPath);
    ASSERT_TRUE(original->conditionalWasTrue());

    auto copied = original->copy();
    EXPECT_EQ(archivedData(*copied), archivedData(*original));
    EXPECT_FALSE(copied->conditionalWasTrue());
    EXPECT_FALSE(copied->suffix().has_value());
    EXPECT_EQ(Fields(*copied->IPTCField()).name(), "Matched metadata field");

    auto& defaults = UserDefaults::standard();
    Spec::archiveTextConcatSpecsToUserDefaults({original, rule({})}, "testRules", defaults);
    const auto read = Spec::unarchiveTextConcatSpecsFromUserDefaults("testRules", defaults);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(archivedData(*read[0]), archivedData(*original));
    defaults.setObject("testRules", PlistData{});
    EXPECT_TRUE(Spec::unarchiveTextConcatSpecsFromUserDefaults("testRules", defaults).empty());
    defaults.removeObject("testRules");
}

} // namespace
} // namespace qm
