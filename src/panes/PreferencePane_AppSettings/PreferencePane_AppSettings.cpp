#include "PreferencePane_AppSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "LoginItem.h"
#include "app/LayoutApplications.h"
#include "app/Quillmark.h"
#include "foundation/UserDefaults.h"
#include "platform/linux/WaylandSession.h"
#include "textgen/PublicationSettingsFile.h"
#include "ui/DefaultsBinding.h"
#include "ui/Localized.h"
#include "ui/hotKeyWindow.h"

namespace qm {

namespace {

struct HotKeyRow {
    const char* title;
    const char* prompt;
};

constexpr std::array<HotKeyRow, 5> HotKeyRows{{
    {"Make byline:", "Enter key combination for \"Make byline\" hotkey"},
    {"Make caption:", "Enter key combination for \"Make caption\" hotkey"},
    {"Make byline and caption:", "Enter key combination for \"Make byline and caption\" hotkey"},
    {"Toggle panel:", "Enter key combination for \"Toggle panel\" hotkey"},
    {"Make bylines and captions for this page:",
     "Enter key combination for \"Make bylines and captions for this page\" hotkey"},
}};

constexpr const char* SettingsFilePathKey = "publicationSettingsFilePath";
constexpr const char* SettingsFileFilter = "Property lists (*.plist)";

QCheckBox* boundCheckBox(const char* title, UserDefaults& defaults, const char* key)
{
    auto* box = new QCheckBox(localized(title));
    box->setObjectName(key);
    DefaultsBinding::bindCheckBox(*box, defaults, key);
    return box;
}

QString hotKeyTitle(const hotKey& key)
{
    const std::string text = key.menuItemString();
    return text.empty() ? localized("None") : QString::fromStdString(text);
}

// Shows the hot key's combination, and its changes until the button goes.
QPushButton* makeHotKeyButton(const std::shared_ptr<hotKey>& key)
{
    auto* button = new QPushButton(hotKeyTitle(*key));
    button->setMinimumWidth(120);
    const auto id = key->addObserver("menuItemString", [button, key = key.get()](const std::string&, auto change) {
        if (change == KeyValueObservable::Change::Did)
            button->setText(hotKeyTitle(*key));
    });
    QObject::connect(button, &QObject::destroyed, [key, id] { key->removeObserver(id); });
    return button;
}

} // namespace

PreferencePane_AppSettings::PreferencePane_AppSettings(std::filesystem::path bundlePath)
    : PreferencePane(std::move(bundlePath), "PreferencePane_AppSettings", "General",
                     "General Quillmark application settings.")
{
}

std::unique_ptr<QWidget> PreferencePane_AppSettings::makeView()
{
    auto* controller = Quillmark::sharedInstance();
    if (!controller)
        return nullptr;
    UserDefaults& defaults = controller->defaults();
    readHotKeysFromQuillmark();
    auto view = std::make_unique<QWidget>();
    mView = view.get();
    auto* layout = new QVBoxLayout(view.get());
    layout->addWidget(makeLayoutApplicationBox(defaults));
    layout->addWidget(makeStartupBox(defaults));
    layout->addWidget(makeHotKeysBox());
    layout->addWidget(makeSettingsFileBox(defaults));
    if (const auto note = WaylandSession::limitationsNote()) {
        auto* label = new QLabel(QString::fromStdString(*note));
        label->setObjectName("waylandNote");
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addStretch();
    view->adjustSize();
    return view;
}

void PreferencePane_AppSettings::readHotKeysFromQuillmark()
{
    if (auto* controller = Quillmark::sharedInstance()) {
        const GlobalHotKeys& keys = controller->hotKeys();
        mHotKeys = {keys.makeBylineHotkey(), keys.makeCaptionHotkey(), keys.makeBylineAndCaptionHotkey(),
                    keys.togglePanelHotkey(), keys.makePageHotkey()};
    }
}

void PreferencePane_AppSettings::editHotKeyByTag(int tag)
{
    if (tag < 0 || tag >= static_cast<int>(mHotKeys.size()) || !mHotKeys[tag])
        return;
    hotKeyWindow::sharedInstance().editKeyForActionDescriptor(mHotKeys[tag], localized(HotKeyRows[tag].prompt));
}

QGroupBox* PreferencePane_AppSettings::makeLayoutApplicationBox(UserDefaults& defaults)
{
    auto* box = new QGroupBox(localized("Layout application"));
    auto* form = new QFormLayout(box);
    auto* popUp = new QComboBox;
    popUp->setObjectName(LayoutApplications::PreferredApplicationKey);
    LayoutApplications::configure(mLayoutApplicationArrayController);
    showLayoutApplications(*popUp, defaults);
    const auto id = defaults.addObserver(LayoutApplications::PreferredApplicationKey,
                                         [this, popUp, &defaults](const std::string&, const auto&) {
                                             showLayoutApplications(*popUp, defaults);
                                         });
    QObject::connect(popUp, &QObject::destroyed, [&defaults, id] { defaults.removeObserver(id); });
    QObject::connect(popUp, &QComboBox::activated, [popUp, &defaults](int index) {
        const QVariant path = popUp->itemData(index);
        LayoutApplications::setPreferredApplicationPath(
            defaults, path.isValid() ? std::optional(path.toString().toStdString()) : std::nullopt);
    });
    form->addRow(localized("Scribus:"), popUp);
    if (!mLayoutApplicationArrayController.didFindApps())
        form->addRow(new QLabel(localized("No installed Scribus was found.")));
    auto* setUp = new QPushButton(localized("Set Up Scribus…"));
    setUp->setToolTip(localized("Scribus runs the Quillmark layout script whenever it starts"));
    QObject::connect(setUp, &QPushButton::clicked, [] {
        if (auto* controller = Quillmark::sharedInstance())
            controller->setUpLayoutApplication();
    });
    form->addRow(QString(), setUp);
    return box;
}

// "Automatic", then every installed layout application, and the stored one even when it is not
// installed, with the stored choice selected.
void PreferencePane_AppSettings::showLayoutApplications(QComboBox& popUp, const UserDefaults& defaults)
{
    const QSignalBlocker blocker(popUp);
    popUp.clear();
    popUp.addItem(localized("Automatic: the running one, else the default"));
    for (const auto& application : mLayoutApplicationArrayController.arrangedObjects())
        if (application->path())
            popUp.addItem(QString::fromStdString(application->description()), QString::fromStdString(*application->path()));
    const auto chosen = LayoutApplications::preferredApplicationPath(defaults);
    const QString path = QString::fromStdString(chosen.value_or(""));
    if (chosen && popUp.findData(path) < 0)
        popUp.addItem(QString::fromStdString(applicationInstancePath(chosen).description()), path);
    popUp.setCurrentIndex(chosen ? popUp.findData(path) : 0);
}

QGroupBox* PreferencePane_AppSettings::makeStartupBox(UserDefaults& defaults)
{
    auto* box = new QGroupBox(localized("Start-up"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(boundCheckBox("Show the panel at start-up", defaults, "showIptcPanelOnStartup"));
    auto* login = new QCheckBox(localized("Start Quillmark when I log in"));
    login->setObjectName("startAtLogin");
    login->setChecked(LoginItem::isEnabled());
    QObject::connect(login, &QCheckBox::toggled, [login](bool on) {
        if (!LoginItem::setEnabled(on)) {
            const QSignalBlocker blocker(login);
            login->setChecked(LoginItem::isEnabled());
        }
    });
    layout->addWidget(login);
    return box;
}

QGroupBox* PreferencePane_AppSettings::makeHotKeysBox()
{
    auto* box = new QGroupBox(localized("Hot keys"));
    auto* form = new QFormLayout(box);
    for (int tag = 0; tag < static_cast<int>(mHotKeys.size()); ++tag) {
        if (!mHotKeys[tag])
            continue;
        QPushButton* button = makeHotKeyButton(mHotKeys[tag]);
        button->setObjectName(QStringLiteral("hotKey%1").arg(tag));
        QObject::connect(button, &QPushButton::clicked, [this, tag] { editHotKeyByTag(tag); });
        form->addRow(localized(HotKeyRows[tag].title), button);
    }
    auto* note = new QLabel(localized("Changed hot keys take effect when the preferences close."));
    note->setWordWrap(true);
    form->addRow(note);
    return box;
}

QGroupBox* PreferencePane_AppSettings::makeSettingsFileBox(UserDefaults& defaults)
{
    auto* box = new QGroupBox(localized("Publication settings file"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(boundCheckBox("Load publications and text decoding settings from this file at start-up",
                                    defaults, "usePublicationSettingsInFile"));
    auto* path = new QLineEdit;
    path->setObjectName(SettingsFilePathKey);
    path->setReadOnly(true);
    path->setPlaceholderText(localized("No file chosen"));
    DefaultsBinding::bindLineEdit(*path, defaults, SettingsFilePathKey);
    auto* select = new QPushButton(localized("Select…"));
    select->setObjectName("selectPublicationSettingsFile");
    QObject::connect(select, &QPushButton::clicked, [this] { selectPublicationSettingsFile(); });
    auto* exportButton = new QPushButton(localized("Export…"));
    exportButton->setObjectName("exportPublicationSettings");
    exportButton->setToolTip(localized("Saves every setting in a file that other computers can load"));
    QObject::connect(exportButton, &QPushButton::clicked, [this] { exportPublicationSettings(); });
    auto* row = new QHBoxLayout;
    row->addWidget(path, 1);
    row->addWidget(select);
    row->addWidget(exportButton);
    layout->addLayout(row);
    return box;
}

// A window-modal dialog of the pane's view that goes when it closes.
QFileDialog* PreferencePane_AppSettings::makeFileDialog(const QString& title, const QString& acceptLabel)
{
    auto* dialog = new QFileDialog(mView, title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setNameFilter(localized(SettingsFileFilter));
    dialog->setLabelText(QFileDialog::Accept, acceptLabel);
    return dialog;
}

void PreferencePane_AppSettings::selectPublicationSettingsFile()
{
    QFileDialog* dialog = makeFileDialog(localized("Select a file with publication settings"), localized("Select"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    QObject::connect(dialog, &QFileDialog::fileSelected, [](const QString& file) {
        if (auto* controller = Quillmark::sharedInstance())
            controller->defaults().setObject(SettingsFilePathKey, PlistValue(file.toStdString()));
    });
    dialog->open();
}

void PreferencePane_AppSettings::exportPublicationSettings()
{
    QFileDialog* dialog = makeFileDialog(localized("Save settings as"), localized("Save"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix("plist");
    dialog->selectFile("QuillmarkSettings.plist");
    QObject::connect(dialog, &QFileDialog::fileSelected, [view = mView](QString file) {
        auto* controller = Quillmark::sharedInstance();
        if (!controller)
            return;
        if (!file.endsWith(".plist"))
            file += ".plist";
        Error error;
        if (!PublicationSettingsFile::exportSettingsToFile(file.toStdString(), controller->defaults(), &error))
            QMessageBox::warning(view, localized("Save settings as"), QString::fromStdString(error.localizedDescription));
    });
    dialog->open();
}

} // namespace qm

QUILLMARK_PRINCIPAL_CLASS(PreferencePane_AppSettings)
