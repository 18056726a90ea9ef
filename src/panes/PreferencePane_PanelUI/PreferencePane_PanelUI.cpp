#include "PreferencePane_PanelUI.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "DesktopEntryProgram.h"
#include "app/CustomIPTCFilter.h"
#include "app/Quillmark.h"
#include "applications/applicationInstancePath.h"
#include "foundation/UserDefaults.h"
#include "ui/DefaultsBinding.h"
#include "ui/Localized.h"

namespace qm {

namespace {

constexpr const char* OpenWithAppsKey = "openWithApps";
constexpr const char* FilterKey = "customIPTCFilter";

QCheckBox* boundCheckBox(const QString& title, UserDefaults& defaults, const char* key)
{
    auto* box = new QCheckBox(title);
    box->setObjectName(key);
    DefaultsBinding::bindCheckBox(*box, defaults, key);
    return box;
}

std::vector<std::pair<QString, QVariant>> datasetChoices()
{
    std::vector<std::pair<QString, QVariant>> choices;
    for (const auto& code : cIPTCCode::allCodesSortedByName())
        choices.emplace_back(QString::fromStdString(code.description()), code.hash());
    return choices;
}

cIPTCCode codeWithHash(const QVariant& hash)
{
    for (const auto& code : cIPTCCode::allCodes())
        if (code.hash() == hash.toInt())
            return code;
    return {};
}

// The first dataset by name that the filter lacks.
CustomIPTCFilter::Entry newFilterEntry(const UserDefaults& defaults)
{
    const auto entries = CustomIPTCFilter::fromDefaults(defaults);
    const auto codes = cIPTCCode::allCodesSortedByName();
    for (const auto& code : codes)
        if (std::none_of(entries.begin(), entries.end(), [&](const auto& entry) { return entry.iptcCode == code; }))
            return {code, std::nullopt};
    return {codes.empty() ? cIPTCCode(2, 120) : codes.front(), std::nullopt};
}

StoredListEditor<CustomIPTCFilter::Entry>::Storage filterStorage()
{
    return {&CustomIPTCFilter::fromDefaults, [](UserDefaults& defaults, const std::vector<CustomIPTCFilter::Entry>& entries) {
                if (auto data = CustomIPTCFilter::archive(entries))
                    defaults.setObject(FilterKey, PlistValue(std::move(*data)));
            }};
}

StoredListEditor<std::string>::Storage openWithAppsStorage()
{
    return {[](const UserDefaults& defaults) {
                std::vector<std::string> paths;
                for (const auto& item : defaults.arrayForKey(OpenWithAppsKey).value_or(PlistArray{}))
                    if (const std::string* path = item.string())
                        paths.push_back(*path);
                return paths;
            },
            [](UserDefaults& defaults, const std::vector<std::string>& paths) {
                defaults.setObject(OpenWithAppsKey, PlistValue(PlistArray(paths.begin(), paths.end())));
            }};
}

} // namespace

PreferencePane_PanelUI::PreferencePane_PanelUI(std::filesystem::path bundlePath)
    : PreferencePane(std::move(bundlePath), "PreferencePane_PanelUI", "Panel UI",
                     "Settings for the Quillmark panel display.")
{
}

std::unique_ptr<QWidget> PreferencePane_PanelUI::makeView()
{
    auto* controller = Quillmark::sharedInstance();
    if (!controller)
        return nullptr;
    UserDefaults& defaults = controller->defaults();
    auto view = std::make_unique<QWidget>();
    auto* left = new QVBoxLayout;
    left->addWidget(makePanelBox(defaults, controller->layoutApplicationName()));
    left->addWidget(makeOpenWithBox(defaults), 1);
    auto* layout = new QHBoxLayout(view.get());
    layout->addLayout(left, 1);
    layout->addWidget(makeDatasetsBox(defaults), 1);
    view->adjustSize();
    return view;
}

QGroupBox* PreferencePane_PanelUI::makePanelBox(UserDefaults& defaults, const std::string& layoutApplicationName)
{
    auto* box = new QGroupBox(localized("Panel"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(boundCheckBox(localized("Remember the panel's position"), defaults, "rememberPanelPosition"));
    layout->addWidget(boundCheckBox(localized("Show the panel as a utility window"), defaults, "panelUtilityWindowLevel"));
    layout->addWidget(
        boundCheckBox(localized("Move the panel by dragging its background"), defaults, "moveableByBackgroundClick"));
    layout->addWidget(boundCheckBox(localized("Showing the panel makes it the active window"), defaults, "iptcActivate"));
    layout->addWidget(boundCheckBox(localizedFormat("Show the panel only while %@ or Quillmark is in front",
                                                    {layoutApplicationName}),
                                    defaults, "iptcPanelHideOnSuspend"));
    layout->addWidget(boundCheckBox(localized("Fit the panel's height to its datasets"), defaults, "resizePanelToFit"));
    return box;
}

QGroupBox* PreferencePane_PanelUI::makeDatasetsBox(UserDefaults& defaults)
{
    using Editor = StoredListEditor<CustomIPTCFilter::Entry>;
    auto* box = new QGroupBox(localized("Datasets"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(boundCheckBox(localized("Show only these datasets, in this order"), defaults, "filterIPTCRecords"));
    std::vector<Editor::Column> columns{
        {localized("Dataset"), {}, {}, datasetChoices(),
         [](const CustomIPTCFilter::Entry& entry) { return QVariant(entry.iptcCode.hash()); },
         [](CustomIPTCFilter::Entry& entry, const QVariant& hash) { entry.iptcCode = codeWithHash(hash); }},
        {localized("Label"),
         [](const CustomIPTCFilter::Entry& entry) { return QString::fromStdString(entry.customLabel.value_or("")); },
         [](CustomIPTCFilter::Entry& entry, const QString& label) {
             entry.customLabel = label.isEmpty() ? std::nullopt : std::optional(label.toStdString());
         },
         {}, {}, {}},
    };
    auto* editor = new Editor(std::move(columns), filterStorage(), defaults, FilterKey,
                              [&defaults] { return newFilterEntry(defaults); });
    editor->setObjectName(FilterKey);
    editor->table().setColumnWidth(0, 190);
    editor->setMinimumWidth(320);
    layout->addWidget(editor);
    return box;
}

QGroupBox* PreferencePane_PanelUI::makeOpenWithBox(UserDefaults& defaults)
{
    auto* box = new QGroupBox(localized("Open with"));
    auto* layout = new QVBoxLayout(box);
    auto* mode = new QComboBox;
    mode->setObjectName("openWithMode");
    mode->addItem(localized("The desktop's applications for the file"), QVariant::fromValue<qlonglong>(0));
    mode->addItem(localized("The applications of this list"), QVariant::fromValue<qlonglong>(1));
    mode->addItem(localized("This list, then the desktop's applications"), QVariant::fromValue<qlonglong>(2));
    DefaultsBinding::bindComboBoxData(*mode, defaults, "openWithMode");
    auto* form = new QFormLayout;
    form->addRow(localized("The menu lists:"), mode);
    layout->addLayout(form);
    using Editor = StoredListEditor<std::string>;
    std::vector<Editor::Column> columns{
        {localized("Application"),
         [](const std::string& path) { return QString::fromStdString(applicationInstancePath(path).description()); },
         {}, {}, {}, {}},
    };
    mOpenWithURLsArrayController =
        new Editor(std::move(columns), openWithAppsStorage(), defaults, OpenWithAppsKey, [] { return std::string(); });
    mOpenWithURLsArrayController->setObjectName(OpenWithAppsKey);
    mOpenWithURLsArrayController->setAddHandler([this] { addOpenWithApp(); });
    layout->addWidget(mOpenWithURLsArrayController);
    return box;
}

void PreferencePane_PanelUI::addOpenWithApp()
{
    if (!mOpenWithURLsArrayController)
        return;
    auto* dialog = new QFileDialog(mOpenWithURLsArrayController, localized("Add an application to the \"open with\" menu"),
                                   QStringLiteral("/usr/share/applications"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters({localized("Applications (*.desktop)"), localized("All files (*)")});
    dialog->setLabelText(QFileDialog::Accept, localized("Add application"));
    QObject::connect(dialog, &QFileDialog::fileSelected, [list = mOpenWithURLsArrayController](const QString& file) {
        if (const auto program = programOfApplicationFile(file.toStdString()))
            list->addObject(program->string());
    });
    dialog->open();
}

} // namespace qm

QUILLMARK_PRINCIPAL_CLASS(PreferencePane_PanelUI)
