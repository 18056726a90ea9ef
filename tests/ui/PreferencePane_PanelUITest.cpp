#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCheckBox>
#include <QTableWidget>
#include <QToolButton>

#include "PaneControls.h"
#include "PaneFixture.h"
#include "WidgetFixture.h"
#include "app/CustomIPTCFilter.h"
#include "ui/IPTCPanel.h"

namespace qm::test {
namespace {

class PreferencePane_PanelUITest : public PaneFixture {
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        openPane("PreferencePane_PanelUI");
    }

    std::vector<std::string> openWithApps() const
    {
        std::vector<std::string> paths;
        for (const auto& item : mDefaults.arrayForKey("openWithApps").value_or(PlistArray{}))
            paths.push_back(item.string() ? *item.string() : "<not a string>");
        return paths;
    }

    std::string writeFile(const std::string& name, const std::string& text, bool executable)
    {
        const auto path = mFolder.path() / name;
        std::ofstream(path) << text;
        ::chmod(path.c_str(), executable ? 0755 : 0644);
        return path.string();
    }

};

TEST_F(PreferencePane_PanelUITest, EachControlWritesItsDefault)
{
    for (const char* key : {"rememberPanelPosition", "panelUtilityWindowLevel", "moveableByBackgroundClick",
                            "iptcActivate", "iptcPanelHideOnSuspend", "resizePanelToFit", "filterIPTCRecords"}) {
        auto* box = control<QCheckBox>(*mView, key);
        ASSERT_TRUE(box);
        const bool before = mDefaults.boolForKey(key);
        box->click();
        EXPECT_EQ(mDefaults.boolForKey(key), !before) << key;
        EXPECT_EQ(box->isChecked(), !before) << key;
    }
    auto* mode = control<QComboBox>(*mView, "openWithMode");
    ASSERT_TRUE(mode);
    for (const qlonglong value : {2, 1, 0}) {
        choose(*mode, QVariant::fromValue(value));
        EXPECT_EQ(mDefaults.integerForKey("openWithMode"), value);
    }
}

TEST_F(PreferencePane_PanelUITest, AddingAnOpenWithAppStoresItsProgram)
{
    const std::string tool = writeFile("tool", "#!/bin/sh\n", true);
    const struct {
        const char* name;
        std::optional<std::string> picked; // none: the dialog is cancelled
        std::vector<std::string> stored;
    } cases[] = {
        {"cancelled", std::nullopt, {}},
        {"a desktop entry",
         writeFile("tool.desktop", "[Desktop Entry]\nName=Tool\nExec=\"" + tool + "\" %U\n[Desktop Action New]\nExec=x\n",
                   false),
         {tool}},
        {"a program", tool, {tool, tool}},
        {"a file that is neither", writeFile("notes.txt", "notes", false), {tool, tool}},
        {"a desktop entry without a program", writeFile("broken.desktop", "[Desktop Entry]\nName=Broken\n", false),
         {tool, tool}},
    };
    auto* list = control<QWidget>(*mView, "openWithApps");
    ASSERT_TRUE(list);
    for (const auto& test : cases) {
        list->findChild<QToolButton*>("add")->click();
        QFileDialog* dialog = openFileDialog(*mView);
        ASSERT_NE(dialog, nullptr) << test.name;
        EXPECT_EQ(dialog->windowTitle(), "Add an application to the \"open with\" menu");
        EXPECT_EQ(dialog->labelText(QFileDialog::Accept), "Add application");
        answerFileDialog(*mView, test.picked);
        EXPECT_EQ(openWithApps(), test.stored) << test.name;
    }
}

TEST_F(PreferencePane_PanelUITest, TheOpenWithListIsReorderedWithItsButtons)
{
    mDefaults.setObject("openWithApps", PlistValue(PlistArray{PlistValue("/usr/bin/a"), PlistValue("/usr/bin/b"),
                                                              PlistValue("/usr/bin/c")}));
    auto* list = control<QWidget>(*mView, "openWithApps");
    ASSERT_TRUE(list);
    auto& table = *list->findChild<QTableWidget*>("table");
    ASSERT_EQ(table.rowCount(), 3);
    const struct {
        int selected;
        const char* button;
        std::vector<std::string> stored;
    } steps[] = {
        {0, "moveUp", {"/usr/bin/a", "/usr/bin/b", "/usr/bin/c"}},
        {2, "moveDown", {"/usr/bin/a", "/usr/bin/b", "/usr/bin/c"}},
        {0, "moveDown", {"/usr/bin/b", "/usr/bin/a", "/usr/bin/c"}},
        {2, "moveUp", {"/usr/bin/b", "/usr/bin/c", "/usr/bin/a"}},
        {1, "remove", {"/usr/bin/b", "/usr/bin/a"}},
    };
    for (const auto& step : steps) {
        table.selectRow(step.selected);
        list->findChild<QToolButton*>(step.button)->click();
        EXPECT_EQ(openWithApps(), step.stored) << step.button << " " << step.selected;
    }
}

TEST_F(PreferencePane_PanelUITest, TheDatasetFilterAndItsLabelsShowInThePanel)
{
    IPTCPanel panel(*mController, mDefaults);
    showImage(writePhoto("harbour.jpg", dataset(2, 80, "Jane Doe") + dataset(2, 90, "Lund")));
    control<QCheckBox>(*mView, "filterIPTCRecords")->setChecked(true);
    auto* list = control<QWidget>(*mView, "customIPTCFilter");
    ASSERT_TRUE(list);
    auto& table = *list->findChild<QTableWidget*>("table");
    list->findChild<QToolButton*>("add")->click();
    ASSERT_EQ(table.rowCount(), 1);
    choose(*qobject_cast<QComboBox*>(table.cellWidget(0, 0)), cIPTCCode(2, 90).hash());
    table.item(0, 1)->setText("Place");

    const std::vector<CustomIPTCFilter::Entry> expected{{cIPTCCode(2, 90), "Place"}};
    EXPECT_EQ(CustomIPTCFilter::fromDefaults(mDefaults), expected);
    ASSERT_EQ(panel.model().rowCount(), 1);
    EXPECT_EQ(panel.model().index(0, 0).data().toString(), "Place");
    EXPECT_EQ(panel.model().index(0, 1).data().toString(), "Lund");
}

} // namespace
} // namespace qm::test
