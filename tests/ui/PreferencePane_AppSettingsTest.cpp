#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "PaneControls.h"
#include "PaneFixture.h"
#include "WidgetFixture.h"
#include "app/LayoutApplications.h"
#include "foundation/PropertyList.h"
#include "ui/hotKeyWindow.h"

namespace qm::test {
namespace {

class PreferencePane_AppSettingsTest : public PaneFixture {
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        mWorkspace->setApplications("sla", {"/usr/bin/scribus-ng", "/usr/bin/gimp", "/usr/bin/scribus"});
        mWorkspace->setDisplayName("/usr/bin/scribus", "Scribus");
        mWorkspace->setDisplayName("/usr/bin/scribus-ng", "Scribus NG");
        mWorkspace->setDisplayName("/usr/bin/gimp", "GIMP");
        openPane("PreferencePane_AppSettings");
    }

    ScopedEnvironment mSession{"XDG_SESSION_TYPE", "x11"};
    ScopedEnvironment mNoWayland{"WAYLAND_DISPLAY", std::nullopt};
    ScopedEnvironment mConfig{"XDG_CONFIG_HOME", (mFolder.path() / "config").string()};
};

TEST(PreferencePanesTest, EachPaneHasItsNameAndToolTipAndNoViewWithoutAController)
{
    widgetApplication();
    const struct {
        const char* paneClass;
        const char* name;
        const char* toolTip;
    } cases[] = {
        {"PreferencePane_AppSettings", "General", "General Quillmark application settings."},
        {"PreferencePane_PanelUI", "Panel UI", "Settings for the Quillmark panel display."},
        {"PreferencePane_TextDecoding", "Text encodings",
         "Settings for dealing with text encodings and \"funny characters\"."},
    };
    for (const auto& test : cases) {
        auto pane = loadPane(test.paneClass);
        ASSERT_TRUE(pane) << test.paneClass;
        EXPECT_EQ(pane->paneName(), test.name);
        EXPECT_EQ(pane->paneToolTip(), test.toolTip);
        EXPECT_FALSE(pane->paneIcon().pixmap(32).isNull()) << test.paneClass;
        EXPECT_FALSE(pane->allowsHorizontalResizing() || pane->allowsVerticalResizing()) << test.paneClass;
        EXPECT_EQ(pane->paneView(), nullptr) << test.paneClass;
    }
}

TEST_F(PreferencePane_AppSettingsTest, HotKeyButtonsEditTheControllersHotKeys)
{
    const auto& keys = mController->hotKeys();
    const struct {
        std::shared_ptr<hotKey> key;
        const char* prompt;
        int qtKey;
        const char* menuString;
    } cases[] = {
        {keys.makeBylineHotkey(), "Enter key combination for \"Make byline\" hotkey", Qt::Key_B, "\u2303B"},
        {keys.makeCaptionHotkey(), "Enter key combination for \"Make caption\" hotkey", Qt::Key_C, "\u2303C"},
        {keys.makeBylineAndCaptionHotkey(), "Enter key combination for \"Make byline and caption\" hotkey", Qt::Key_D,
         "\u2303D"},
        {keys.togglePanelHotkey(), "Enter key combination for \"Toggle panel\" hotkey", Qt::Key_F8, "\u2303F8"},
    };
    auto& window = hotKeyWindow::sharedInstance();
    for (int tag = 0; tag < 4; ++tag) {
        const auto& test = cases[tag];
        auto* button = control<QPushButton>(*mView, QStringLiteral("hotKey%1").arg(tag));
        ASSERT_TRUE(button);
        button->click();
        ASSERT_TRUE(window.isVisible()) << tag;
        const QString prompt = QString::fromUtf8(test.prompt).toHtmlEscaped();
        EXPECT_TRUE(window.findChildren<QLabel*>().first()->text().contains(prompt)) << tag;
        QKeyEvent press(QEvent::KeyPress, test.qtKey, Qt::ControlModifier);
        QCoreApplication::sendEvent(&window, &press);
        EXPECT_FALSE(window.isVisible()) << tag;
        EXPECT_EQ(test.key->menuItemString(), test.menuString) << tag;
        EXPECT_EQ(button->text().toStdString(), test.menuString) << tag;
    }
}

TEST_F(PreferencePane_AppSettingsTest, CheckBoxesWriteTheirDefaults)
{
    for (const char* key : {"showIptcPanelOnStartup", "usePublicationSettingsInFile"}) {
        auto* box = control<QCheckBox>(*mView, key);
        ASSERT_TRUE(box);
        const bool before = mDefaults.boolForKey(key);
        box->click();
        EXPECT_EQ(mDefaults.boolForKey(key), !before) << key;
    }
}

TEST_F(PreferencePane_AppSettingsTest, TheLayoutApplicationIsChosenAmongTheInstalledScribuses)
{
    auto* popUp = control<QComboBox>(*mView, LayoutApplications::PreferredApplicationKey);
    ASSERT_TRUE(popUp);
    QStringList titles;
    for (int index = 1; index < popUp->count(); ++index)
        titles.append(popUp->itemText(index));
    EXPECT_EQ(titles, (QStringList{"Scribus", "Scribus NG"}));
    const std::optional<std::string> choices[] = {"/usr/bin/scribus-ng", std::nullopt, "/usr/bin/scribus"};
    for (const auto& choice : choices) {
        choose(*popUp, choice ? QVariant(QString::fromStdString(*choice)) : QVariant());
        EXPECT_EQ(LayoutApplications::preferredApplicationPath(mDefaults), choice) << choice.value_or("automatic");
    }
    LayoutApplications::setPreferredApplicationPath(mDefaults, "/opt/scribus/bin/scribus");
    EXPECT_EQ(popUp->currentData().toString(), "/opt/scribus/bin/scribus") << "a stored choice shows though not listed";
}

TEST_F(PreferencePane_AppSettingsTest, TheSettingsFileIsChosenAndCancellingChangesNothing)
{
    const std::string file = (mFolder.path() / "shared.plist").string();
    PropertyList::writeFileAtomically(file, PlistValue(PlistDictionary{}), PlistFormat::Xml);
    auto* select = control<QPushButton>(*mView, "selectPublicationSettingsFile");
    ASSERT_TRUE(select);
    const struct {
        std::optional<std::string> answer; // none: cancelled
        std::optional<std::string> stored;
    } cases[] = {{std::nullopt, std::nullopt}, {file, file}, {std::nullopt, file}};
    for (const auto& test : cases) {
        select->click();
        QFileDialog* dialog = openFileDialog(*mView);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Select a file with publication settings");
        EXPECT_EQ(dialog->labelText(QFileDialog::Accept), "Select");
        answerFileDialog(*mView, test.answer);
        EXPECT_EQ(mDefaults.stringForKey("publicationSettingsFilePath"), test.stored) << test.answer.value_or("cancel");
    }
    EXPECT_EQ(control<QLineEdit>(*mView, "publicationSettingsFilePath")->text().toStdString(), file);
}

TEST_F(PreferencePane_AppSettingsTest, ExportWritesEverySettingAndCancellingWritesNothing)
{
    mDefaults.setObject("aKeyOfNoPart", PlistValue("kept"));
    auto* exportButton = control<QPushButton>(*mView, "exportPublicationSettings");
    ASSERT_TRUE(exportButton);
    exportButton->click();
    EXPECT_EQ(openFileDialog(*mView)->selectedFiles().value(0).section('/', -1), "QuillmarkSettings.plist");
    answerFileDialog(*mView, std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(mFolder.path() / "QuillmarkSettings.plist"));

    exportButton->click();
    answerFileDialog(*mView, (mFolder.path() / "exported").string());
    const auto exported = PropertyList::readFile(mFolder.path() / "exported.plist");
    ASSERT_TRUE(exported && exported->dictionary());
    EXPECT_EQ(*exported->dictionary(), mDefaults.dictionaryRepresentation());
    EXPECT_TRUE(exported->find("trimWhitespace")) << "registered settings are exported too";
    EXPECT_TRUE(exported->find("aKeyOfNoPart"));
}

TEST_F(PreferencePane_AppSettingsTest, StartingAtLoginPutsTheEntryInTheAutostartFolder)
{
    const auto entry = mFolder.path() / "config" / "autostart" / "quillmark.desktop";
    auto* box = control<QCheckBox>(*mView, "startAtLogin");
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->isChecked());
    box->click();
    ASSERT_TRUE(std::filesystem::exists(entry));
    std::ifstream copied(entry);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(copied), {}).find("Exec=quillmark"), std::string::npos);
    box->click();
    EXPECT_FALSE(std::filesystem::exists(entry));
}

TEST_F(PreferencePane_AppSettingsTest, TheWaylandNoteShowsOnlyInAWaylandSession)
{
    EXPECT_EQ(mView->findChild<QLabel*>("waylandNote"), nullptr);
    ScopedEnvironment wayland("XDG_SESSION_TYPE", "wayland");
    auto pane = loadPane("PreferencePane_AppSettings");
    ASSERT_TRUE(pane && pane->paneView());
    EXPECT_NE(pane->paneView()->findChild<QLabel*>("waylandNote"), nullptr);
}

} // namespace
} // namespace qm::test
