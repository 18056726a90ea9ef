#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
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

    // The line editor the table opens on the cell, as a double click would.
    static QLineEdit* openCellEditor(iptcTextConcatEditorController& editor, const QModelIndex& cell)
    {
        editor.table().edit(cell);
        // A closed editor is hidden until it is deleted.
        for (auto* field : editor.table().findChildren<QLineEdit*>())
            if (!field->isHidden())
                return field;
        return nullptr;
    }

    static void pressReturn(QWidget* field)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &press);
        QCoreApplication::processEvents(); // the delegate commits the text from the event loop
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
         [&] { return rule.conditionalValueArrayStrings() == std::vector<std::string>{"dpa", "AP"}; }, "dpa|AP"},
        {RuleTableModel::StopColumn, int(Qt::Checked), Qt::CheckStateRole, [&] { return rule.breakIfConditionIsTrue(); }, ""},
    };
    for (const auto& test : cases) {
        const QModelIndex cell = model.index(0, test.column);
        ASSERT_TRUE(model.setData(cell, test.value, test.role)) << test.column;
        EXPECT_TRUE(test.stored()) << test.column;
        EXPECT_EQ(cell.data(Qt::DisplayRole).toString(), test.shown) << test.column;
    }
}

// The text a person sees in the cell's editor is the text that is stored back, whatever the values hold.
TEST_F(RuleEditorTest, TheValuesCellGivesBackTheValuesItShows)
{
    iptcTextConcatEditorController editor(*mController);
    editor.show();
    const struct {
        const char* name;
        std::vector<std::string> values;
        QString shown;
    } cases[] = {
        {"two values", {"NTB", "Scanpix"}, "NTB|Scanpix"},
        {"a comma inside a value", {"NTB, Oslo", "AP"}, "NTB, Oslo|AP"},
        {"a bar inside a value", {"A|B", "C"}, "A\\|B|C"},
        {"a backslash inside a value", {"C:\\", "x\\|y"}, "C:\\\\|x\\\\\\|y"},
        {"an empty value between", {"a", "", "b"}, "a||b"},
        {"one value", {"dpa"}, "dpa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto spec = withRules("Photographer", {""});
        PlistArray stored;
        for (const auto& value : c.values)
            stored.push_back(PlistDictionary{{"text", value}});
        spec->textConcatSpecs()->front()->setConditionalValueArray(stored);
        editor.runNonmodalEditor(spec);
        const QModelIndex cell = editor.model().index(0, RuleTableModel::ValuesColumn);
        EXPECT_EQ(cell.data(Qt::DisplayRole).toString(), c.shown);

        editor.table().setCurrentIndex(cell);
        auto* field = openCellEditor(editor, cell);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(), c.shown);
        pressReturn(field);
        EXPECT_EQ(spec->textConcatSpecs()->front()->conditionalValueArray(), std::optional(stored));

        spec->textConcatSpecs()->front()->setConditionalValueArray(std::nullopt);
        field = openCellEditor(editor, cell);
        ASSERT_NE(field, nullptr);
        field->setText(c.shown);
        pressReturn(field);
        EXPECT_EQ(spec->textConcatSpecs()->front()->conditionalValueArray(), std::optional(stored)) << "typed";
    }
}

// Every edit reaches the stored publications; when they are read again (a revert, another
// program), the editor edits the same text block of the new list.
TEST_F(RuleEditorTest, EditsAreStoredAtOnceAndTheEditorFollowsAReload)
{
    iptcTextConcatEditorController editor(*mController);
    editor.setRulesChangedHandler([&] { PublicationStore::setPublications(mController->publications(), mDefaults); });
    const auto byline = mController->publications().front()->bylines().front();
    editor.runNonmodalEditor(byline);
    const int rules = editor.model().rowCount();
    editor.model().insertRuleAfter(-1);
    ASSERT_TRUE(editor.model().setData(editor.model().index(rules, RuleTableModel::PrefixColumn), "Foto: ", Qt::EditRole));

    const auto stored = PublicationStore::publications(mDefaults);
    ASSERT_FALSE(stored.empty());
    const auto storedRules = *stored.front()->bylines().front()->textConcatSpecs();
    ASSERT_EQ(storedRules.size(), static_cast<std::size_t>(rules + 1));
    EXPECT_EQ(storedRules.back()->prefix(), std::optional<std::string>("Foto: "));

    storedRules.back()->setPrefix("Reverted: ");
    PublicationStore::setPublications(stored, mDefaults);
    EXPECT_NE(editor.editedSpec(), byline) << "still editing the old object";
    EXPECT_EQ(editor.editedSpec(), mController->publications().front()->bylines().front());
    EXPECT_EQ(editor.model().index(rules, RuleTableModel::PrefixColumn).data().toString(), "Reverted: ");

    PublicationStore::setPublications({}, mDefaults);
    EXPECT_FALSE(editor.isVisible()) << "its text block is gone";
    EXPECT_EQ(editor.model().rowCount(), 0);
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
