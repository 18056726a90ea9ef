#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QObject>

#include "ui/SS_PreferencePaneProtocol.h"

class QAction;
class QActionGroup;
class QMainWindow;
class QToolBar;

namespace qm {

class UserDefaults;

// The preference window, built from plug-in bundles: every bundle with the extension in the search
// folder gives its principal class's panes; the window shows one toolbar item per pane and the
// chosen pane's view, sized to it.
class SS_PrefsController : public QObject {
public:
    static constexpr int version = 2;
    static constexpr const char* DefaultBundleExtension = "preferencePane";

    // Loads the panes at once. An empty search path is the main bundle's resource folder; an empty
    // extension is DefaultBundleExtension.
    SS_PrefsController(const std::filesystem::path& searchPath, const std::string& bundleExtension,
                       UserDefaults& defaults);
    ~SS_PrefsController() override;
    SS_PrefsController(const SS_PrefsController&) = delete;
    SS_PrefsController& operator=(const SS_PrefsController&) = delete;

    void showPreferencesWindow() { createPreferencesWindowAndDisplay(true); }
    void createPreferencesWindow() { createPreferencesWindowAndDisplay(true); }
    void createPreferencesWindowAndDisplay(bool display);
    void destroyPreferencesWindow();
    void loadPreferencePaneNamed(const std::string& name) { loadPrefsPaneNamed(name, true); }
    // True when the pane is shown.
    bool loadPrefsPaneNamed(const std::string& name, bool display);
    // None before any pane is loaded.
    std::optional<std::vector<std::string>> loadedPanes() const;

    void setPanesOrder(const std::vector<std::string>& names);
    const std::vector<std::string>& panesOrder() const { return mPanesOrder; }
    SS_PreferencePaneProtocol* pane(const std::string& name) const;

    QMainWindow* preferencesWindow() const { return mPrefsWindow.get(); }
    const std::string& bundleExtension() const { return mBundleExtension; }
    const std::filesystem::path& searchPath() const { return mSearchPath; }
    std::string windowTitleForPaneName(const std::string& name) const;

    // 0 default, 1 icon and label, 2 icon only, 3 label only.
    unsigned toolbarDisplayMode() const { return mToolbarDisplayMode; }
    void setToolbarDisplayMode(unsigned mode) { mToolbarDisplayMode = mode; }
    // 0 default, 1 regular, 2 small.
    unsigned toolbarSizeMode() const { return mToolbarSizeMode; }
    void setToolbarSizeMode(unsigned mode) { mToolbarSizeMode = mode; }
    bool usesTexturedWindow() const { return mUsesTexturedWindow; }
    void setUsesTexturedWindow(bool textured) { mUsesTexturedWindow = textured; }
    bool alwaysShowsToolbar() const { return mAlwaysShowsToolbar; }
    void setAlwaysShowsToolbar(bool always) { mAlwaysShowsToolbar = always; }
    bool alwaysOpensCentered() const { return mAlwaysOpensCentered; }
    void setAlwaysOpensCentered(bool centered) { mAlwaysOpensCentered = centered; }
    bool debug() const { return mDebug; }
    void setDebug(bool debug) { mDebug = debug; }

    // Runs when the window is about to close.
    void setWindowWillCloseHandler(std::function<void()> handler) { mWindowWillClose = std::move(handler); }
    // Extra actions at the far end of the toolbar (the program's "Revert…").
    void setTrailingToolbarActions(std::vector<QAction*> actions) { mTrailingActions = std::move(actions); }

    // The refusals and troubles of loading are logged always; with debug on, framed as debug messages.
    void debugLog(const std::string& message) const;

    // The user-defaults key of the last shown pane and the toolbar's identifier.
    static std::string lastPaneDefaultsKey();
    static std::string toolbarIdentifier();

private:
    struct LoadedPane {
        SS_PreferencePaneProtocol* pane;
        const SS_PreferencePaneClass* principalClass;
    };

    void activatePane(const std::filesystem::path& bundlePath);
    void addPanesOfClass(const SS_PreferencePaneClass& principalClass, const std::filesystem::path& bundlePath);
    void createPrefsToolbar();
    bool loadFirstPane();
    void prefsToolbarItemClicked(const std::string& name);
    void installPaneView(QWidget* view, bool isPaneView);
    void sizeWindowForPane(const SS_PreferencePaneProtocol& pane, QWidget& view);
    int toolbarHeightForWindow() const;
    void detachPaneViews();

    UserDefaults& mDefaults;
    std::filesystem::path mSearchPath;
    std::string mBundleExtension;
    std::map<std::string, SS_PreferencePaneProtocol*> mPreferencePanes;
    std::vector<LoadedPane> mAllPanes;
    std::vector<std::string> mPanesOrder;
    std::unique_ptr<QMainWindow> mPrefsWindow;
    QToolBar* mPrefsToolbar = nullptr;
    QActionGroup* mToolbarGroup = nullptr;
    std::map<std::string, QAction*> mPrefsToolbarItems;
    QWidget* mShownPaneView = nullptr;
    std::vector<QAction*> mTrailingActions;
    std::function<void()> mWindowWillClose;
    unsigned mToolbarDisplayMode = 1;
    unsigned mToolbarSizeMode = 0;
    bool mUsesTexturedWindow = false;
    bool mAlwaysShowsToolbar = false;
    bool mAlwaysOpensCentered = true;
    bool mDebug = false;
};

} // namespace qm
