#include <gtest/gtest.h>

#include <QTimer>

#include "WidgetFixture.h"
#include "textgen/cIPTCCodeWithExtras.h"
#include "ui/iptcTextConcatEditorController.h"

namespace qm::test {
namespace {

class RuleEditorTest : public WidgetFixture {
protected:
    static textBlockSpec::Pointer withRules(const std::string& name, std::vector<std::string> prefixes)
    {
        auto spec = textBlockSpec_Byline::create();
        spec->setName(name);
        iptcTextConcatSpec::Array rules;
        for (const auto& prefix : prefixes) {
            rules.push_back(iptcTextConcatSpec::create());
            rules.back()->setPrefix(prefix);
        }
        spec->setTextConcatSpecs(rules);
        return spec;
    }

    static std::vector<std::string> prefixes(const textBlockSpec& spec)
    {
        std::vector<std::string> result;
        for (const auto& rule : spec.textConcatSpecs().value_or(iptcTextConcatSpec::Array{}))
            result.push_back(rule->prefix().value_or(""));
        return result;
    }
};

TEST_F(RuleEditorTest, AddingRemovingAndMovingRulesChangesTheTextBlockAtOnce)
{
    iptcTextConcatEditorController editor(*mController);
    auto spec = withRules("Photographer", {"a", "b", "c"});
    editor.runNonmodalEditor(spec);
    auto& model = editor.model();
    struct Step {
        const char* name;
        std::function<void()> act;
        std::vector<std::string> prefixes;
    } steps[] = {
        {"add after the first", [&] { model.insertRuleAfter(0); }, {"a", "", "b", "c"}},
        {"add without a selection", [&] { model.insertRuleAfter(-1); }, {"a", "", "b", "c", ""}},
        {"move the last up", [&] { model.moveRule(2, -1); }, {"a", "b", "", "c", ""}},
        {"move the first down", [&] { model.moveRule(0, +1); }, {"b", "a", "", "c", ""}},
        {"move past the end", [&] { model.moveRule(4, +1); }, {"b", "a", "", "c", ""}},
        {"remove", [&] { model.removeRule(2); }, {"b", "a", "c", ""}},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(prefixes(*spec), step.prefixes) << step.name;
        EXPECT_EQ(model.rowCount(), static_cast<int>(step.prefixes.size())) << step.name;
    }
    EXPECT_EQ(iptcTextConcatSpec().IPTCTextToExtract(), spec->textConcatSpecs()->back()->IPTCTextToExtract())
        << "a new rule has the defaults";
}

TEST_F(RuleEditorTest, EditingACellSetsTheRuleAndShowsTheChoicesTitle)
{
    iptcTextConcatEditorController editor(*mController);
    auto spec = withRules("Photographer", {"a"});
    editor.runNonmodalEditor(spec);
    auto& model = editor.model();
    const auto& rule = *spec->textConcatSpecs()->front();
    const auto matched = cIPTCCodeWithExtras::artificialCode(cIPTCCodeWithExtras::matchedIPTCField);
    struct Case {
        int column;
        QVariant value;
        int role;
        std::function<bool()> stored;
        QString shown;
    } cases[] = {
        {RuleTableModel::ConditionColumn, qint64(3), Qt::EditRole, [&] { return rule.condition() == 3; }, "contains"},
        {RuleTableModel::ExtractedFieldColumn, RuleTableModel::codeValue(matched), Qt::EditRole,
         [&] { return rule.IPTCField() == matched; }, "Matched metadata field"},
        {RuleTableModel::ValuesColumn, QString("dpa|AP"), Qt::EditRole,
         [&] { return rule.conditionalValueArrayStrings() == std::vector<std::string>{"dpa", "AP"}; }, "dpa, AP"},
        {RuleTableModel::StopColumn, int(Qt::Checked), Qt::CheckStateRole, [&] { return rule.breakIfConditionIsTrue(); }, ""},
    };
    for (const auto& test : cases) {
        const QModelIndex cell = model.index(0, test.column);
        ASSERT_TRUE(model.setData(cell, test.value, test.role)) << test.column;
        EXPECT_TRUE(test.stored()) << test.column;
        EXPECT_EQ(cell.data(Qt::DisplayRole).toString(), test.shown) << test.column;
    }
}

TEST_F(RuleEditorTest, OpeningForAnotherTextBlockShowsItsRules)
{
    iptcTextConcatEditorController editor(*mController);
    editor.runNonmodalEditor(withRules("First", {"a", "b"}));
    auto second = withRules("Second", {"z"});
    editor.runNonmodalEditor(second);
    EXPECT_EQ(editor.editedSpec(), second);
    EXPECT_EQ(editor.model().rowCount(), 1);
    EXPECT_EQ(editor.model().index(0, RuleTableModel::PrefixColumn).data().toString(), "z");
}

TEST_F(RuleEditorTest, TheModalRunEndsWhenTheEditorCloses)
{
    iptcTextConcatEditorController editor(*mController);
    int endings = 0;
    editor.setEditingEndedHandler([&] { ++endings; });
    for (const auto& close : std::vector<std::function<void()>>{[&] { editor.closeEditorAction(); },
                                                                [&] { editor.commitAndCloseEditorAction(); },
                                                                [&] { editor.close(); }}) {
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(editor.isVisible());
            close();
        });
        EXPECT_EQ(editor.runModalEditor(withRules("Photographer", {"a"})), 0);
        EXPECT_FALSE(editor.isVisible());
    }
    EXPECT_EQ(endings, 3);
}

} // namespace
} // namespace qm::test
