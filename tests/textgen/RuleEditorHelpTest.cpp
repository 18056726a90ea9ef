// The rule editor's help page shows examples as tables of rules, the metadata they read and the
// text they give. Each example is read from the page and run through the rules.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "TextgenFixtures.h"
#include "textgen/cIPTCCodeWithExtras.h"
#include "textgen/iptcTextConcatSpec.h"

namespace qm::test {
namespace {

using Spec = iptcTextConcatSpec;
using Fields = cIPTCCodeWithExtras;

enum Column { IfField, Condition, Values, Take, FromField, Prefix, Suffix, Add, Stop, PrefixAfterText, Columns };

std::vector<std::smatch> matches(const std::string& text, const std::regex& pattern)
{
    return {std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()};
}

// A cell's text as the page shows it: tags dropped, the few entities it uses decoded.
std::string cellText(const std::string& html)
{
    std::string text = std::regex_replace(html, std::regex("<[^>]*>"), "");
    for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
        text = std::regex_replace(text, std::regex(entity), character);
    return text;
}

std::optional<cIPTCCode> fieldNamed(const std::string& name)
{
    if (name.empty())
        return std::nullopt;
    for (const auto artificial : {Fields::imageFileNameField, Fields::matchedIPTCField, Fields::anyIPTCField,
                                  Fields::allIPTCFields, Fields::noIPTCFields})
        if (Fields(Fields::artificialCode(artificial)).name() == name)
            return Fields::artificialCode(artificial);
    for (const auto& code : cIPTCCode::allCodesSortedByName())
        if (Fields(code).name() == name)
            return code;
    ADD_FAILURE() << "no field is named " << name;
    return std::nullopt;
}

// The number whose menu title is the text.
std::int64_t numberTitled(const std::string& title, std::optional<std::string> (*titleOf)(std::int64_t))
{
    for (std::int64_t number = 0; number <= 14; ++number)
        if (titleOf(number) == title)
            return number;
    ADD_FAILURE() << "no choice is titled " << title;
    return -1;
}

Spec::Pointer ruleOfRow(const std::vector<std::string>& cells)
{
    auto rule = Spec::create();
    rule->setConditionalIPTCField(fieldNamed(cells[IfField]));
    rule->setCondition(numberTitled(cells[Condition], Spec::conditionTitle));
    if (!cells[Values].empty())
        rule->setConditionalValue(cells[Values]);
    rule->setIPTCTextToExtract(numberTitled(cells[Take], Spec::textPartTitle));
    rule->setIPTCField(fieldNamed(cells[FromField]));
    if (!cells[Prefix].empty())
        rule->setPrefix(cells[Prefix]);
    if (!cells[Suffix].empty())
        rule->setSuffix(cells[Suffix]);
    rule->setUnicity(numberTitled(cells[Add], Spec::unicityTitle));
    rule->setBreakIfConditionIsTrue(cells[Stop] == "on");
    rule->setPrefixRequiresPreviousText(cells[PrefixAfterText] == "on");
    return rule;
}

IPTCRecordArray recordsOf(const std::string& example)
{
    IPTCRecordArray records;
    for (const auto& field : matches(example, std::regex(R"re(<code data-field="([^"]+)">([^<]*)</code>)re"))) {
        const auto code = fieldNamed(field[1]);
        const std::string text = cellText(field[2]);
        auto record = std::make_shared<cIPTCRecord>(2, static_cast<std::uint8_t>(code->dataSetCode().value_or(0)),
                                                    cIPTCRecord::Bytes(text.begin(), text.end()));
        record->setTextEncoding(Encoding::UTF8);
        records.push_back(record);
    }
    return records;
}

TEST(RuleEditorHelpTest, EveryExampleOnTheHelpPageGivesTheTextItShows)
{
    std::stringstream page;
    page << std::ifstream(QUILLMARK_SOURCE_DIR "/resources/QuillmarkHelp/html/bylineeditor.html").rdbuf();
    const std::string text = page.str();
    const auto examples = matches(text, std::regex(R"re(<div class="example">([\s\S]*?)</div>)re"));
    ASSERT_GE(examples.size(), 4u) << "the page's examples were not found";
    for (const auto& example : examples) {
        const std::string body = example[1];
        const auto result = matches(body, std::regex(R"re(<code class="result">([^<]*)</code>)re"));
        ASSERT_EQ(result.size(), 1u) << body;
        SCOPED_TRACE(result.front()[1].str());
        Spec::Array rules;
        for (const auto& row : matches(body, std::regex(R"re(<tr class="rule">(.*)</tr>)re"))) {
            std::vector<std::string> cells;
            const std::string rowText = row[1];
            for (const auto& cell : matches(rowText, std::regex("<td>(.*?)</td>")))
                cells.push_back(cellText(cell[1]));
            ASSERT_EQ(cells.size(), static_cast<std::size_t>(Columns)) << row[0];
            rules.push_back(ruleOfRow(cells));
        }
        ASSERT_FALSE(rules.empty());
        EXPECT_EQ(Spec::getTextWithSpecArray(rules, recordsOf(body), std::nullopt), std::optional(cellText(result.front()[1])));
    }
}

} // namespace
} // namespace qm::test
