#include "PreferencePane_TextDecoding.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "AlternateEncodingSpecs.h"
#include "EncodingChoices.h"
#include "app/Quillmark.h"
#include "foundation/UserDefaults.h"
#include "ui/DefaultsBinding.h"
#include "ui/IPTCPanelTextEncodings.h"
#include "ui/Localized.h"
#include "ui/StoredListEditor.h"

namespace qm {

namespace {

constexpr const char* SettingsFileKey = "usePublicationSettingsInFile";

QCheckBox* boundCheckBox(const char* title, UserDefaults& defaults, const char* key)
{
    auto* box = new QCheckBox(localized(title));
    box->setObjectName(key);
    DefaultsBinding::bindCheckBox(*box, defaults, key);
    return box;
}

QComboBox* boundEncodingPopUp(UserDefaults& defaults, const char* key)
{
    QComboBox* popUp = makeEncodingPopUp(key);
    DefaultsBinding::bindComboBoxData(*popUp, defaults, key);
    return popUp;
}

QLabel* explanation(const char* text)
{
    auto* label = new QLabel(localized(text));
    label->setWordWrap(true);
    return label;
}

StoredListEditor<textEncoding>::Storage panelEncodingsStorage()
{
    return {[](const UserDefaults& defaults) {
                const auto data = defaults.dataForKey(IPTCPanelTextEncodings::ListKey);
                return data ? IPTCPanelTextEncodings::unarchive(*data) : std::vector<textEncoding>{};
            },
            [](UserDefaults& defaults, const std::vector<textEncoding>& encodings) {
                if (auto data = IPTCPanelTextEncodings::archive(encodings))
                    defaults.setObject(IPTCPanelTextEncodings::ListKey, PlistValue(std::move(*data)));
            }};
}

} // namespace

PreferencePane_TextDecoding::PreferencePane_TextDecoding(std::filesystem::path bundlePath)
    : PreferencePane(std::move(bundlePath), "PreferencePane_TextDecoding", "Text encodings",
                     "Settings for dealing with text encodings and \"funny characters\".")
{
}

std::unique_ptr<QWidget> PreferencePane_TextDecoding::makeView()
{
    auto* controller = Quillmark::sharedInstance();
    if (!controller)
        return nullptr;
    UserDefaults& defaults = controller->defaults();
    auto view = std::make_unique<QWidget>();
    auto* left = new QVBoxLayout;
    left->addWidget(makeDecodingBox(defaults));
    left->addWidget(makeAlternateSpecsBox(defaults), 1);
    auto* right = new QVBoxLayout;
    right->addWidget(makeRepairBox(defaults));
    right->addWidget(makePanelEncodingsBox(defaults), 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    auto* note = explanation("These settings are replaced by those of the publication settings file at every start-up.");
    note->setObjectName("settingsFileNote");
    auto* layout = new QVBoxLayout(view.get());
    layout->addLayout(columns, 1);
    layout->addWidget(note);
    view->adjustSize();
    return view;
}

void PreferencePane_TextDecoding::viewRequested(QWidget& view)
{
    auto* controller = Quillmark::sharedInstance();
    if (!controller)
        return;
    const bool fromFile = controller->defaults().boolForKey(SettingsFileKey);
    if (auto* note = view.findChild<QLabel*>("settingsFileNote"))
        note->setVisible(fromFile);
    view.resize(view.width(), fromFile ? HeightWithSettingsFile : Height);
}

QGroupBox* PreferencePane_TextDecoding::makeDecodingBox(UserDefaults& defaults)
{
    auto* box = new QGroupBox(localized("Decoding"));
    auto* form = new QFormLayout(box);
    form->addRow(localized("Default encoding:"), boundEncodingPopUp(defaults, "defaultTextEncoding"));
    form->addRow(boundCheckBox("Use UTF-8 when the image says so (dataset 1:90)", defaults, "respectUTF8Marker"));
    return box;
}

QGroupBox* PreferencePane_TextDecoding::makeAlternateSpecsBox(UserDefaults& defaults)
{
    using Editor = StoredListEditor<cIPTCRecord::EncodingSpec>;
    auto* box = new QGroupBox(localized("Alternate encodings"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(boundCheckBox("Use another encoding when the text shows one of these characters", defaults,
                                    "useAlternateEncodingSpecs"));
    std::vector<Editor::Column> columns{
        {localized("Characters"), [](const auto& spec) { return QString::fromStdString(spec.search); },
         [](auto& spec, const QString& text) { spec.search = text.toStdString(); }, {}, {}, {}},
        {localized("Encoding"), {}, {}, encodingChoices(),
         [](const auto& spec) { return QVariant::fromValue<qlonglong>(spec.encoding); },
         [](auto& spec, const QVariant& number) { spec.encoding = static_cast<StringEncoding>(number.toLongLong()); }},
    };
    auto* editor = new Editor(std::move(columns), {&AlternateEncodingSpecs::load, &AlternateEncodingSpecs::store},
                              defaults, AlternateEncodingSpecs::Key,
                              [] { return cIPTCRecord::EncodingSpec{"", Encoding::MacOSRoman}; });
    editor->setObjectName(AlternateEncodingSpecs::Key);
    editor->table().setColumnWidth(0, 110);
    layout->addWidget(editor);
    return box;
}

QGroupBox* PreferencePane_TextDecoding::makeRepairBox(UserDefaults& defaults)
{
    auto* box = new QGroupBox(localized("Doubly encoded UTF-8"));
    auto* form = new QFormLayout(box);
    form->addRow(boundCheckBox("Repair text that was converted to UTF-8 twice", defaults, "detectUTF8Corruption"));
    auto* triggers = new QLineEdit;
    triggers->setObjectName("corruptUTF8Triggers");
    DefaultsBinding::bindLineEdit(*triggers, defaults, "corruptUTF8Triggers");
    form->addRow(localized("Trigger characters:"), triggers);
    form->addRow(localized("Encode back to:"), boundEncodingPopUp(defaults, "corruptUTF8To"));
    form->addRow(localized("Then read as:"), boundEncodingPopUp(defaults, "corruptUTF8From"));
    return box;
}

QGroupBox* PreferencePane_TextDecoding::makePanelEncodingsBox(UserDefaults& defaults)
{
    auto* box = new QGroupBox(localized("Encodings in the panel"));
    auto* layout = new QVBoxLayout(box);
    auto* mode = new QComboBox;
    mode->setObjectName(IPTCPanelTextEncodings::ModeKey);
    mode->addItem(localized("Every encoding"), QVariant::fromValue<qlonglong>(1));
    mode->addItem(localized("The encodings of this list"), QVariant::fromValue<qlonglong>(0));
    DefaultsBinding::bindComboBoxData(*mode, defaults, IPTCPanelTextEncodings::ModeKey);
    auto* form = new QFormLayout;
    form->addRow(localized("The panel offers:"), mode);
    layout->addLayout(form);
    using Editor = StoredListEditor<textEncoding>;
    std::vector<Editor::Column> columns{
        {localized("Encoding"), {}, {}, encodingChoices(),
         [](const textEncoding& encoding) { return QVariant::fromValue<qlonglong>(encoding.rawEncoding()); },
         [](textEncoding& encoding, const QVariant& number) {
             encoding.setRawEncoding(static_cast<StringEncoding>(number.toLongLong()));
         }},
    };
    auto* editor = new Editor(std::move(columns), panelEncodingsStorage(), defaults, IPTCPanelTextEncodings::ListKey,
                              [] { return textEncoding(Encoding::UTF8); });
    editor->setObjectName(IPTCPanelTextEncodings::ListKey);
    layout->addWidget(editor);
    return box;
}

} // namespace qm

QUILLMARK_PRINCIPAL_CLASS(PreferencePane_TextDecoding)
