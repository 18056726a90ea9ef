#include "ui/SS_PrefsController.h"

#include <dlfcn.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QScreen>
#include <QToolBar>

#include "foundation/Bundle.h"
#include "foundation/Log.h"
#include "foundation/PropertyList.h"
#include "foundation/StringFormat.h"
#include "foundation/UserDefaults.h"
#include "platform/AlertPresenter.h"

namespace qm {

namespace {

// The principal classes loaded in this process, each with the library it came from: a class name
// is used once per process, as a class would be.
std::map<std::string, std::filesystem::path>& loadedPrincipalClasses()
{
    static std::map<std::string, std::filesystem::path> classes;
    return classes;
}

class PreferencesWindow : public QMainWindow {
public:
    std::function<void()> willClose;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (willClose)
            willClose();
        QMainWindow::closeEvent(event);
    }
};

std::string mainBundleString(const char* key, const char* fallback)
{
    static const std::optional<PlistValue> info = Bundle::main().plistResource("Info");
    const PlistValue* value = info ? info->find(key) : nullptr;
    return value && value->string() ? *value->string() : fallback;
}

std::string format(std::string_view pattern, std::string_view argument)
{
    return formatText(pattern, {argument});
}

void centerWindow(QWidget& window)
{
    window.move(window.screen()->availableGeometry().center() - window.rect().center());
}

void orderFront(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

// The view's size as the pane made it, else as its layout wants it, within the view's own limits
// (a view that is not in a window yet may have been fitted to the screen).
QSize naturalSize(const QWidget& view)
{
    const QSize size =
        view.testAttribute(Qt::WA_Resized) ? view.size() : view.sizeHint().expandedTo(view.minimumSizeHint());
    return size.expandedTo(view.minimumSize()).boundedTo(view.maximumSize());
}

} // namespace

SS_PrefsController::SS_PrefsController(const std::filesystem::path& searchPath, const std::string& bundleExtension,
                                       UserDefaults& defaults)
    : mDefaults(defaults), mSearchPath(searchPath.empty() ? Bundle::main().resourcePath() : searchPath),
      mBundleExtension(bundleExtension.empty() ? DefaultBundleExtension : bundleExtension)
{
    std::error_code error;
    std::vector<std::filesystem::path> bundles;
    for (const auto& entry : std::filesystem::directory_iterator(mSearchPath, error))
        if (entry.path().extension() == "." + mBundleExtension)
            bundles.push_back(entry.path());
    std::sort(bundles.begin(), bundles.end());
    for (const auto& bundle : bundles)
        activatePane(bundle);
}

SS_PrefsController::~SS_PrefsController()
{
    destroyPreferencesWindow();
    for (const auto& loaded : mAllPanes)
        loaded.principalClass->releasePane(loaded.pane);
}

void SS_PrefsController::activatePane(const std::filesystem::path& bundlePath)
{
    const std::string path = bundlePath.string();
    if (!std::filesystem::is_directory(bundlePath))
        return debugLog(format("Could not initialize bundle: %@", path));
    const auto info = PropertyList::readFile(bundlePath / "Info.plist");
    const PlistValue* className = info ? info->find("NSPrincipalClass") : nullptr;
    if (!className || !className->string() || className->string()->empty())
        return debugLog(format("Could not obtain name of Principal Class for bundle: %@", path));
    const std::string name = *className->string();
    const PlistValue* executable = info->find("CFBundleExecutable");
    const auto library = bundlePath / (executable && executable->string() ? *executable->string() : name + ".so");
    const auto known = loadedPrincipalClasses().find(name);
    if (known != loadedPrincipalClasses().end() && known->second != std::filesystem::weakly_canonical(library))
        return debugLog(format("Did not load bundle: %@ because its Principal Class was already used in another "
                               "Preference pane.",
                               path));
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        Log::message(formatText("Could not load the library of bundle %@: %@", {path, dlerror()}));
    const auto principalClass =
        handle ? reinterpret_cast<SS_PreferencePanePrincipalClass>(dlsym(handle, name.c_str())) : nullptr;
    const SS_PreferencePaneClass* record = principalClass ? principalClass() : nullptr;
    if (!record || std::string_view(record->protocolName) != SS_PreferencePaneClass::ProtocolName ||
        record->protocolVersion != SS_PreferencePaneClass::ProtocolVersion) {
        if (handle)
            dlclose(handle);
        return debugLog(format("Did not load bundle: %@ because its Principal Class is either not an NSObject "
                               "subclass, or does not conform to the PreferencePane Protocol.",
                               path));
    }
    loadedPrincipalClasses()[name] = std::filesystem::weakly_canonical(library);
    addPanesOfClass(*record, bundlePath);
}

void SS_PrefsController::addPanesOfClass(const SS_PreferencePaneClass& principalClass,
                                         const std::filesystem::path& bundlePath)
{
    for (SS_PreferencePaneProtocol* pane : principalClass.preferencePanes(bundlePath)) {
        if (!pane)
            continue;
        mAllPanes.push_back({pane, &principalClass});
        mPanesOrder.push_back(pane->paneName());
        mPreferencePanes[pane->paneName()] = pane;
    }
}

std::optional<std::vector<std::string>> SS_PrefsController::loadedPanes() const
{
    if (mPreferencePanes.empty())
        return std::nullopt;
    std::vector<std::string> names;
    for (const auto& [name, pane] : mPreferencePanes)
        names.push_back(name);
    return names;
}

SS_PreferencePaneProtocol* SS_PrefsController::pane(const std::string& name) const
{
    const auto found = mPreferencePanes.find(name);
    return found == mPreferencePanes.end() ? nullptr : found->second;
}

void SS_PrefsController::setPanesOrder(const std::vector<std::string>& names)
{
    mPanesOrder.clear();
    for (const auto& name : names) {
        if (pane(name))
            mPanesOrder.push_back(name);
        else
            debugLog(format("Did not add preference pane \"%@\" to the toolbar ordering array, because that pane does "
                            "not exist.",
                            name));
    }
}

void SS_PrefsController::createPreferencesWindowAndDisplay(bool display)
{
    if (mPrefsWindow) {
        if (mAlwaysOpensCentered && !mPrefsWindow->isVisible())
            centerWindow(*mPrefsWindow);
        if (display)
            orderFront(*mPrefsWindow);
        return;
    }
    auto window = std::make_unique<PreferencesWindow>();
    window->willClose = [this] {
        if (mWindowWillClose)
            mWindowWillClose();
    };
    window->setWindowTitle(QString::fromStdString(Bundle::main().localizedString("Preferences")));
    window->resize(350, 200);
    mPrefsWindow = std::move(window);
    createPrefsToolbar();
    if (!loadFirstPane()) {
        debugLog(formatText("Could not load any valid preference panes. The preference pane bundle extension was "
                            "\"%@\" and the search path was: %@",
                            {mBundleExtension, mSearchPath.string()}));
        Alert alert;
        alert.messageText = "Preferences";
        alert.informativeText = format(Bundle::main().localizedString("Preferences are not available for %@."),
                                       mainBundleString("CFBundleName", "Quillmark"));
        alert.buttonTitles = {"OK"};
        AlertPresenter::current()->runModal(alert);
        destroyPreferencesWindow();
        return;
    }
    centerWindow(*mPrefsWindow);
    if (display)
        orderFront(*mPrefsWindow);
}

bool SS_PrefsController::loadFirstPane()
{
    if (!mPanesOrder.empty())
        mDefaults.registerDefaults({{lastPaneDefaultsKey(), PlistValue(mPanesOrder.front())}});
    const std::string last = mDefaults.stringForKey(lastPaneDefaultsKey()).value_or("");
    const bool lastIsListed = std::find(mPanesOrder.begin(), mPanesOrder.end(), last) != mPanesOrder.end();
    if (lastIsListed && loadPrefsPaneNamed(last, false))
        return true;
    debugLog(format("Could not load last-used preference pane \"%@\". Trying to load another pane instead.", last));
    for (const auto& name : mPanesOrder)
        if (name != last && loadPrefsPaneNamed(name, false))
            return true;
    return false;
}

void SS_PrefsController::createPrefsToolbar()
{
    auto* toolbar = new QToolBar(mPrefsWindow.get());
    toolbar->setObjectName(QString::fromStdString(toolbarIdentifier()));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    toolbar->setToolButtonStyle(mToolbarDisplayMode == 2   ? Qt::ToolButtonIconOnly
                                : mToolbarDisplayMode == 3 ? Qt::ToolButtonTextOnly
                                                           : Qt::ToolButtonTextUnderIcon);
    if (mToolbarSizeMode != 0)
        toolbar->setIconSize(mToolbarSizeMode == 2 ? QSize(24, 24) : QSize(32, 32));
    else
        toolbar->setIconSize(QSize(32, 32));
    mToolbarGroup = new QActionGroup(toolbar);
    for (const auto& name : mPanesOrder) {
        SS_PreferencePaneProtocol* shown = pane(name);
        if (!shown) {
            debugLog(format("Could not create toolbar item for preference pane \"%@\", because that pane does not exist.",
                            name));
            continue;
        }
        auto* item = toolbar->addAction(shown->paneIcon(), QString::fromStdString(name));
        item->setObjectName(QString::fromStdString(name));
        item->setCheckable(true);
        item->setActionGroup(mToolbarGroup);
        if (mPrefsToolbarItems.size() < 9)
            item->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + mPrefsToolbarItems.size())));
        if (const auto tip = shown->paneToolTip(); tip && !tip->empty())
            item->setToolTip(QString::fromStdString(*tip));
        QObject::connect(item, &QAction::triggered, this, [this, name] { prefsToolbarItemClicked(name); });
        mPrefsToolbarItems[name] = item;
    }
    if (!mTrailingActions.empty()) {
        auto* spacer = new QWidget(toolbar);
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        toolbar->addWidget(spacer);
        for (QAction* action : mTrailingActions)
            toolbar->addAction(action);
    }
    mPrefsToolbar = toolbar;
    if (mPrefsToolbarItems.size() >= 2 || mAlwaysShowsToolbar)
        mPrefsWindow->addToolBar(Qt::TopToolBarArea, toolbar);
    else {
        toolbar->hide();
        if (mPrefsToolbarItems.size() == 1)
            debugLog("Not showing toolbar in Preferences window because there is only one preference pane loaded. You "
                     "can override this behaviour using -[setAlwaysShowsToolbar:YES].");
    }
}

void SS_PrefsController::prefsToolbarItemClicked(const std::string& name)
{
    if (mPrefsWindow && mPrefsWindow->windowTitle().toStdString() != name)
        loadPrefsPaneNamed(name, true);
}

bool SS_PrefsController::loadPrefsPaneNamed(const std::string& name, bool display)
{
    if (!mPrefsWindow) {
        QApplication::beep();
        debugLog(format("Could not load \"%@\" preference pane because the Preferences window seems to no longer exist.",
                        name));
        return false;
    }
    SS_PreferencePaneProtocol* shown = pane(name);
    if (!shown) {
        debugLog(format("Could not load preference pane \"%@\", because that pane does not exist.", name));
        return false;
    }
    QWidget* view = shown->paneView();
    if (!view) {
        debugLog(format("Could not load \"%@\" preference pane because its view could not be loaded from the bundle.",
                        name));
        return false;
    }
    if (display) {
        auto* empty = new QWidget;
        empty->resize(mPrefsWindow->centralWidget() ? mPrefsWindow->centralWidget()->size() : QSize());
        installPaneView(empty, false);
    }
    sizeWindowForPane(*shown, *view);
    installPaneView(view, true);
    if (mPrefsToolbarItems.size() > 1 || mAlwaysShowsToolbar)
        mPrefsWindow->setWindowTitle(QString::fromStdString(windowTitleForPaneName(name)));
    mDefaults.setObject(lastPaneDefaultsKey(), PlistValue(name));
    if (const auto item = mPrefsToolbarItems.find(name); item != mPrefsToolbarItems.end())
        item->second->setChecked(true);
    return true;
}

// The old content leaves the window without being freed when it is a pane's view: the pane owns it.
void SS_PrefsController::installPaneView(QWidget* view, bool isPaneView)
{
    detachPaneViews();
    mPrefsWindow->setCentralWidget(view);
    mShownPaneView = isPaneView ? view : nullptr;
    view->show();
}

void SS_PrefsController::detachPaneViews()
{
    if (!mPrefsWindow || !mShownPaneView)
        return;
    mPrefsWindow->takeCentralWidget();
    mShownPaneView->hide();
    mShownPaneView->setParent(nullptr);
    mShownPaneView = nullptr;
}

void SS_PrefsController::sizeWindowForPane(const SS_PreferencePaneProtocol& shown, QWidget& view)
{
    const QSize content = naturalSize(view);
    const QSize frame(content.width(), content.height() + toolbarHeightForWindow());
    mPrefsWindow->setMinimumSize(frame);
    mPrefsWindow->setMaximumSize(shown.allowsHorizontalResizing() ? QWIDGETSIZE_MAX : frame.width(),
                                 shown.allowsVerticalResizing() ? QWIDGETSIZE_MAX : frame.height());
    mPrefsWindow->resize(frame);
}

int SS_PrefsController::toolbarHeightForWindow() const
{
    const bool visible = mPrefsToolbar && mPrefsWindow && mPrefsWindow->toolBarArea(mPrefsToolbar) != Qt::NoToolBarArea &&
                         !mPrefsToolbar->isHidden();
    return visible ? mPrefsToolbar->sizeHint().height() : 0;
}

void SS_PrefsController::destroyPreferencesWindow()
{
    detachPaneViews();
    mPrefsToolbarItems.clear();
    mPrefsToolbar = nullptr;
    mToolbarGroup = nullptr;
    for (QAction* action : mTrailingActions)
        action->setParent(nullptr);
    mPrefsWindow.reset();
}

std::string SS_PrefsController::windowTitleForPaneName(const std::string& name) const
{
    return formatText(Bundle::main().localizedString("%@ preferences: %@"), {QCoreApplication::applicationName().toStdString(), name});
}

void SS_PrefsController::debugLog(const std::string& message) const
{
    if (mDebug)
        Log::message(formatText("[--- PREFERENCES DEBUG MESSAGE ---]\r%@\r\r", {message}));
    else
        Log::message(message);
}

std::string SS_PrefsController::lastPaneDefaultsKey()
{
    return mainBundleString("CFBundleIdentifier", "org.quillmark.Quillmark") + "_Preferences_Last_Pane_Defaults_Key";
}

std::string SS_PrefsController::toolbarIdentifier()
{
    return mainBundleString("CFBundleIdentifier", "org.quillmark.Quillmark") + "_Preferences_Toolbar_Identifier";
}

} // namespace qm
