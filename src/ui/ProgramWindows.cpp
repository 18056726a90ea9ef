#include "ui/ProgramWindows.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMessageBox>

#include "app/MenuItem.h"
#include "foundation/Bundle.h"
#include "foundation/StringFormat.h"
#include "foundation/UserDefaults.h"
#include "platform/AlertPresenter.h"
#include "ui/AboutPanel.h"
#include "ui/IPTCPanel.h"
#include "ui/Localized.h"
#include "ui/PanelReport.h"
#include "ui/ResourceImages.h"
#include "ui/SS_PrefsController.h"
#include "ui/StatusItem.h"
#include "ui/StatusMenu.h"
#include "ui/iptcTextConcatEditorController.h"

namespace qm {

ProgramWindows::ProgramWindows(Quillmark& controller, UserDefaults& defaults)
    : mController(controller), mDefaults(defaults), mPanel(std::make_unique<IPTCPanel>(controller, defaults)),
      mAboutPanel(std::make_unique<AboutPanel>()),
      mStatusMenu(std::make_unique<StatusMenu>(
          controller, [this](int tag) { runTemplateItem(tag); },
          [](int) { return true; })),
      mRuleEditor(std::make_unique<iptcTextConcatEditorController>(controller))
{
    mPanel->setEditRulesHandler([this](bool caption) { editRules(caption); });
    const auto storeRules = [this] { PublicationStore::setPublications(mController.publications(), mDefaults); };
    mRuleEditor->setEditingEndedHandler(storeRules);
    mRuleEditor->setRulesChangedHandler(storeRules);
    // The table measures its rows when its model is reset with the new datasets: measuring them
    // again for the row-heights hook would double the work of every image shown.
    mController.currentImage().setWindowHooks({
        nullptr,
        [this] { mPanel->adjustWindowFrameToNaturalTableHeight(); },
    });
}

ProgramWindows::~ProgramWindows()
{
    mPrefs.reset();
    mController.currentImage().setWindowHooks({});
}

Quillmark::WindowHooks ProgramWindows::windowHooks()
{
    Quillmark::WindowHooks hooks;
    hooks.installStatusItem = [this] { installStatusItem(); };
    hooks.showAboutPanel = [this] { mAboutPanel->showFading(); };
    hooks.showIPTCPanel = [this] { mPanel->showIPTCPanelAction(); };
    hooks.toggleIPTCPanel = [this] { mPanel->toggleIPTCPanelAction(); };
    hooks.isIPTCPanelVisible = [this] { return mPanel->isVisible(); };
    hooks.orderIPTCPanelFront = [this] { mPanel->orderFront(); };
    hooks.hideIPTCPanel = [this] { mPanel->hide(); };
    hooks.isPreferencesWindowVisible = [this] {
        return mPrefs && mPrefs->preferencesWindow() && mPrefs->preferencesWindow()->isVisible();
    };
    return hooks;
}

void ProgramWindows::installStatusItem()
{
    if (StatusItem::trayAvailable()) {
        mStatusItem = std::make_unique<StatusItem>(*mStatusMenu);
        return;
    }
    mPanel->setStatusMenu(mStatusMenu.get());
    tellNoTray();
}

void ProgramWindows::tellNoTray()
{
    auto* note = new QMessageBox(QMessageBox::Information, QCoreApplication::applicationName(),
                                 localized("This desktop has no system tray"), QMessageBox::Ok);
    note->setInformativeText(localized("The Quillmark menu is on the button at the top right of the metadata panel."));
    note->setWindowIcon(ResourceImages::applicationIcon());
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->open();
}

void ProgramWindows::runTemplateItem(int tag)
{
    switch (tag) {
    case MenuItem::TogglePanelTag: mPanel->toggleIPTCPanelAction(); break;
    case MenuItem::PreferencesTag: showPreferences(); break;
    case MenuItem::AboutTag: mAboutPanel->showFading(); break;
    case MenuItem::QuitTag: QCoreApplication::quit(); break;
    default: break;
    }
}

// The rules of the byline or caption the panel shows.
void ProgramWindows::editRules(bool caption)
{
    if (const auto& spec = caption ? mController.shownCaption() : mController.shownByline())
        mRuleEditor->runNonmodalEditor(spec);
}

void ProgramWindows::takeRequest(const std::optional<QString>& file)
{
    if (file)
        mController.currentImage().updateFromFilePath(file->toStdString());
    mPanel->showIPTCPanelAction();
    mPanel->activateWindow();
}

void ProgramWindows::showPreferences()
{
    if (!mPrefs) {
        const auto panes = std::filesystem::weakly_canonical(Bundle::main().resourcePath() / "PreferencePanes/");
        mPrefs = std::make_unique<SS_PrefsController>(panes, "quillmarkPrefsPane", mDefaults);
        mPrefs->setPanesOrder({"General", "Text extraction", "Text encodings", "Panel UI"});
        mPrefs->setAlwaysShowsToolbar(true);
        mRevertAction = std::make_unique<QAction>(localized("Revert…"));
        mRevertAction->setToolTip(localized("Put back the settings as they were when this window was opened."));
        QObject::connect(mRevertAction.get(), &QAction::triggered, [this] { revertPreferences(); });
        mPrefs->setTrailingToolbarActions({mRevertAction.get()});
        mPrefs->setWindowWillCloseHandler([this] { mController.preferencesWindowWillClose(); });
    }
    AlertPresenter::current()->activateApplication();
    if (!mPrefs->preferencesWindow() || !mPrefs->preferencesWindow()->isVisible())
        mSettingsWhenPreferencesOpened = mDefaults.persistentDomain();
    mPrefs->showPreferencesWindow();
}

void ProgramWindows::revertPreferences()
{
    Alert alert;
    alert.messageText = localized("PrefsRevert").toStdString();
    alert.informativeText = formatText("%@", {localized("PrefsRevertInfo").toStdString()});
    alert.buttonTitles = {localized("PrefsRevertOK").toStdString(), localized("PrefsRevertCancel").toStdString()};
    if (AlertPresenter::current()->runModal(alert).buttonIndex != 0)
        return;
    mDefaults.replacePersistentDomain(mSettingsWhenPreferencesOpened);
    mController.hotKeys().reloadHotKeyEventsFromUserDefaults(mDefaults);
}

QByteArray ProgramWindows::shownReport()
{
    return panelReport(*mPanel, mController.currentImage().currentImagePath());
}

void ProgramWindows::applicationWillQuit()
{
    mRuleEditor->commitPendingEdit();
    if (mPanel->isVisible())
        mPanel->saveFrame();
}

} // namespace qm
