#include <QMainWindow>
#include <QToolBar>

#include "ui/ProgramWindows.h"
#include "ui/SS_PrefsController.h"
#include "ui/WidgetFixture.h"

namespace qm::test {
namespace {

class PreferencesWindowTest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        mWindows = std::make_unique<ProgramWindows>(*mController, mDefaults);
        mController->setWindowHooks(mWindows->windowHooks());
    }
    void TearDown() override
    {
        mWindows.reset();
        WidgetFixture::TearDown();
    }

    std::unique_ptr<ProgramWindows> mWindows;
};

TEST_F(PreferencesWindowTest, ShowsTheFourPanesInOrderOnTheLastOne)
{
    mDefaults.setObject(SS_PrefsController::lastPaneDefaultsKey(), PlistValue("Text encodings"));
    mWindows->showPreferences();

    QMainWindow* window = mWindows->preferences()->preferencesWindow();
    ASSERT_NE(window, nullptr);
    QStringList items;
    for (QAction* action : window->findChild<QToolBar*>()->actions())
        if (!action->text().isEmpty())
            items << action->text();
    EXPECT_EQ(items, (QStringList{"General", "Text extraction", "Text encodings", "Panel UI", "Revert…"}));
    EXPECT_EQ(window->windowTitle(), "ui_tests preferences: Text encodings");

    // Each pane is shown whole: the window is its view and the toolbar.
    window->show();
    for (const char* name : {"General", "Text extraction", "Text encodings", "Panel UI"}) {
        ASSERT_TRUE(mWindows->preferences()->loadPrefsPaneNamed(name, true)) << name;
        QWidget* view = mWindows->preferences()->pane(name)->paneView();
        processEventsUntil([&] { return window->centralWidget()->size() == view->size(); });
        EXPECT_EQ(window->centralWidget(), view) << name;
        EXPECT_EQ(view->size(), view->size().expandedTo(view->minimumSizeHint())) << name;
        EXPECT_EQ(window->size().width(), view->width()) << name;
        EXPECT_EQ(window->centralWidget()->size(), view->size()) << name;
    }
}

TEST_F(PreferencesWindowTest, RevertPutsBackTheSettingsOfWhenTheWindowOpenedAfterAsking)
{
    const KeyEvent before{KeyEvent::KeyDown, 11, ModifierFlag::Control, "b"};
    mController->hotKeys().makeBylineHotkey()->setHotKeyEvent(before);
    mController->hotKeys().writeHotKeysToUserDefaults(mDefaults);
    mDefaults.setObject("iptcPanelHideOnSuspend", PlistValue(true));
    const auto sharedHotKey = mController->hotKeys().makeBylineHotkey();
    mWindows->showPreferences();
    const std::size_t alertsBefore = mAlerts->alerts().size();

    mDefaults.setObject("iptcPanelHideOnSuspend", PlistValue(false));
    mDefaults.setObject("defaultTextEncoding", PlistValue(5));
    sharedHotKey->setHotKeyEvent(KeyEvent{KeyEvent::KeyDown, 9, ModifierFlag::Control, "v"});
    mController->hotKeys().writeHotKeysToUserDefaults(mDefaults);

    mAlerts->setResponse({1, false});
    mWindows->revertPreferences();
    EXPECT_FALSE(mDefaults.boolForKey("iptcPanelHideOnSuspend")) << "cancelled";

    mAlerts->setResponse({0, false});
    mWindows->revertPreferences();
    ASSERT_EQ(mAlerts->alerts().size(), alertsBefore + 2);
    EXPECT_EQ(mAlerts->alerts().back().alert.buttonTitles, (std::vector<std::string>{"Revert", "Cancel"}));
    EXPECT_TRUE(mDefaults.boolForKey("iptcPanelHideOnSuspend"));
    EXPECT_FALSE(mDefaults.persistentDomain().contains("defaultTextEncoding"));
    EXPECT_EQ(mController->hotKeys().makeBylineHotkey(), sharedHotKey) << "the panes keep the object they share";
    EXPECT_EQ(sharedHotKey->hotKeyEvent(), before);
}

TEST_F(PreferencesWindowTest, ClosingTheWindowWritesAndInstallsTheHotKeys)
{
    mWindows->showPreferences();
    QMainWindow* window = mWindows->preferences()->preferencesWindow();
    ASSERT_NE(window, nullptr);
    mController->hotKeys().togglePanelHotkey()->setHotKeyEvent(KeyEvent{KeyEvent::KeyDown, 17, ModifierFlag::Control, "t"});

    window->close();

    const auto stored = mDefaults.dataForKey(GlobalHotKeys::DefaultsKeys[GlobalHotKeys::TogglePanelID]);
    ASSERT_TRUE(stored);
    EXPECT_EQ(hotKey::unarchive(*stored)->keyString(), "t");
}

} // namespace
} // namespace qm::test
