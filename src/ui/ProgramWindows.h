#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "app/Quillmark.h"
#include "foundation/PlistValue.h"

class QAction;

namespace qm {

class AboutPanel;
class SS_PrefsController;
class IPTCPanel;
class StatusItem;
class StatusMenu;
class UserDefaults;
class iptcTextConcatEditorController;

// The program's windows over the controller: the metadata panel, the status item with its menu
// (on the panel when the desktop has no tray), and the about panel. It gives the controller the
// window steps of start-up and hands it what the user does.
class ProgramWindows {
public:
    ProgramWindows(Quillmark& controller, UserDefaults& defaults);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    Quillmark::WindowHooks windowHooks();
    // A later start's request: make its file current, and bring the panel forward.
    void takeRequest(const std::optional<QString>& file);
    // The preference window, made the first time; the settings as they are now can be reverted to
    // while it stays open.
    void showPreferences();
    // Asks, then puts back the settings as they were when the preference window was opened.
    void revertPreferences();
    SS_PrefsController* preferences() { return mPrefs.get(); }
    // What the panel shows, as one line of JSON (PanelReport.h).
    QByteArray shownReport();
    // Keeps what the windows remember; run once at the end.
    void applicationWillQuit();

    IPTCPanel& panel() { return *mPanel; }
    StatusMenu& statusMenu() { return *mStatusMenu; }
    iptcTextConcatEditorController& ruleEditor() { return *mRuleEditor; }

private:
    void installStatusItem();
    void runTemplateItem(int tag);
    void tellNoTray();
    void editRules(bool caption);

    Quillmark& mController;
    UserDefaults& mDefaults;
    std::unique_ptr<IPTCPanel> mPanel;
    std::unique_ptr<AboutPanel> mAboutPanel;
    std::unique_ptr<StatusMenu> mStatusMenu;
    std::unique_ptr<StatusItem> mStatusItem;
    std::unique_ptr<iptcTextConcatEditorController> mRuleEditor;
    std::unique_ptr<QAction> mRevertAction;
    std::unique_ptr<SS_PrefsController> mPrefs;
    PlistDictionary mSettingsWhenPreferencesOpened;
};

} // namespace qm
