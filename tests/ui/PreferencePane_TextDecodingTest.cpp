#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>

#include "PaneControls.h"
#include "PaneFixture.h"
#include "WidgetFixture.h"
#include "app/TextDecoding.h"
#include "ui/IPTCPanel.h"
#include "ui/IPTCPanelTextEncodings.h"

namespace qm::test {
namespace {

QVariant encodingData(StringEncoding encoding)
{
    return QVariant::fromValue<qlonglong>(encoding);
}

class PreferencePane_TextDecodingTest : public PaneFixture {
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        openPane("PreferencePane_TextDecoding");
    }

    std::vector<StringEncoding> panelEncodings() const
    {
        std::vector<StringEncoding> numbers;
        if (const auto data = mDefaults.dataForKey(IPTCPanelTextEncodings::ListKey))
            for (const auto& encoding : IPTCPanelTextEncodings::unarchive(*data))
                numbers.push_back(encoding.rawEncoding());
        return numbers;
    }

};

QString shownValue(IPTCPanel& panel, const QString& label)
{
    auto& model = panel.model();
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.index(row, 0).data().toString() == label)
            return model.index(row, 1).data().toString();
    return "<no " + label + ">";
}

TEST_F(PreferencePane_TextDecodingTest, TheDefaultEncodingDecodesTheOpenPanelAtOnce)
{
    IPTCPanel panel(*mController, mDefaults);
    showImage(QUILLMARK_SOURCE_DIR "/resources/samples/sample.jpg");
    auto* popUp = control<QComboBox>(*mView, "defaultTextEncoding");
    ASSERT_TRUE(popUp);
    const struct {
        StringEncoding encoding;
        const char* city;
    } cases[] = {{Encoding::MacOSRoman, "K\u02c6ln"}, {12, "K\u00f6ln"}, {Encoding::MacOSRoman, "K\u02c6ln"}};
    for (const auto& test : cases) {
        choose(*popUp, encodingData(test.encoding));
        EXPECT_EQ(mDefaults.integerForKey("defaultTextEncoding"), test.encoding);
        EXPECT_EQ(shownValue(panel, "City"), QString::fromUtf8(test.city)) << test.encoding;
        EXPECT_EQ(panel.encodingPopUp().currentData().toLongLong(), test.encoding);
    }
}

TEST_F(PreferencePane_TextDecodingTest, EachControlWritesItsDefault)
{
    for (const char* key : {"respectUTF8Marker", "useAlternateEncodingSpecs", "detectUTF8Corruption"}) {
        auto* box = control<QCheckBox>(*mView, key);
        ASSERT_TRUE(box);
        const bool before = mDefaults.boolForKey(key);
        box->click();
        EXPECT_EQ(mDefaults.boolForKey(key), !before) << key;
    }
    const std::pair<const char*, qlonglong> choices[] = {
        {"corruptUTF8To", Encoding::MacOSRoman}, {"corruptUTF8From", 5}, {"defaultTextEncoding", Encoding::UTF8},
        {"iptcPanelShowTextEncodingMode", 0},
    };
    for (const auto& [key, value] : choices) {
        auto* popUp = control<QComboBox>(*mView, key);
        ASSERT_TRUE(popUp);
        choose(*popUp, QVariant::fromValue(value));
        EXPECT_EQ(mDefaults.integerForKey(key), value) << key;
    }
    auto* triggers = control<QLineEdit>(*mView, "corruptUTF8Triggers");
    ASSERT_TRUE(triggers);
    triggers->setText(QString::fromUtf8("\u00c3"));
    emit triggers->editingFinished();
    EXPECT_EQ(mDefaults.stringForKey("corruptUTF8Triggers"), "\u00c3");
}

TEST_F(PreferencePane_TextDecodingTest, ThePanelsEncodingListIsEditedWithItsButtons)
{
    auto* list = control<QWidget>(*mView, IPTCPanelTextEncodings::ListKey);
    ASSERT_TRUE(list);
    auto& table = *list->findChild<QTableWidget*>("table");
    const auto press = [&](const char* button) { list->findChild<QToolButton*>(button)->click(); };
    const auto chooseInRow = [&](int row, StringEncoding encoding) {
        choose(*qobject_cast<QComboBox*>(table.cellWidget(row, 0)), encodingData(encoding));
    };
    const struct {
        const char* step;
        std::function<void()> action;
        std::vector<StringEncoding> stored;
    } steps[] = {
        {"add", [&] { press("add"); }, {Encoding::UTF8}},
        {"choose Mac OS Roman", [&] { chooseInRow(0, Encoding::MacOSRoman); }, {Encoding::MacOSRoman}},
        {"add after the selection", [&] { press("add"); }, {Encoding::MacOSRoman, Encoding::UTF8}},
        {"move it up", [&] { press("moveUp"); }, {Encoding::UTF8, Encoding::MacOSRoman}},
        {"move it down", [&] { press("moveDown"); }, {Encoding::MacOSRoman, Encoding::UTF8}},
        {"remove it", [&] { press("remove"); }, {Encoding::MacOSRoman}},
        {"stored elsewhere",
         [&] {
             mDefaults.setObject(IPTCPanelTextEncodings::ListKey,
                                 PlistValue(*IPTCPanelTextEncodings::archive({textEncoding(5), textEncoding(12)})));
         },
         {5, 12}},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(panelEncodings(), step.stored) << step.step;
        ASSERT_EQ(table.rowCount(), static_cast<int>(step.stored.size())) << step.step;
        for (int row = 0; row < table.rowCount(); ++row)
            EXPECT_EQ(qobject_cast<QComboBox*>(table.cellWidget(row, 0))->currentData(), encodingData(step.stored[row]))
                << step.step << ", row " << row;
    }
}

TEST_F(PreferencePane_TextDecodingTest, AlternateSpecsAreStoredAsTheGuessReadsThem)
{
    auto* list = control<QWidget>(*mView, "alternateEncodingSpecs");
    ASSERT_TRUE(list);
    auto& table = *list->findChild<QTableWidget*>("table");
    const struct {
        const char* step;
        std::function<void()> action;
        std::string search;
        StringEncoding encoding;
    } steps[] = {
        {"add", [&] { list->findChild<QToolButton*>("add")->click(); }, "", Encoding::MacOSRoman},
        {"type the characters", [&] { table.item(0, 0)->setText(QString::fromUtf8("\u02c6")); }, "\u02c6",
         Encoding::MacOSRoman},
        {"choose the encoding", [&] { choose(*qobject_cast<QComboBox*>(table.cellWidget(0, 1)), encodingData(12)); },
         "\u02c6", 12},
    };
    for (const auto& step : steps) {
        step.action();
        const auto specs = TextDecoding::alternateEncodingSpecs(mDefaults);
        ASSERT_EQ(specs.size(), 1U) << step.step;
        EXPECT_EQ(specs[0].search, step.search) << step.step;
        EXPECT_EQ(specs[0].encoding, step.encoding) << step.step;
    }
}

TEST_F(PreferencePane_TextDecodingTest, TheViewIsTallerWhileSettingsComeFromAFile)
{
    const int width = mView->width();
    const struct {
        bool fromFile;
        int height;
    } cases[] = {{true, 504}, {false, 437}, {true, 504}};
    for (const auto& test : cases) {
        mDefaults.setObject("usePublicationSettingsInFile", PlistValue(test.fromFile));
        QWidget* view = mPane->paneView();
        EXPECT_EQ(view, mView) << "the view is made once";
        EXPECT_EQ(view->height(), test.height) << test.fromFile;
        EXPECT_EQ(view->width(), width) << test.fromFile;
        EXPECT_EQ(view->findChild<QLabel*>("settingsFileNote")->isVisibleTo(view), test.fromFile);
    }
}

} // namespace
} // namespace qm::test
