#include "TextBlockEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "bridge/LayoutCodes.h"
#include "ui/Localized.h"
#include "ui/RuleTableModel.h"

namespace qm {

namespace {

QFormLayout* formOf(QWidget* page)
{
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignRight);
    return form;
}

QPushButton* button(const char* title)
{
    auto* button = new QPushButton(localized(title));
    button->setAutoDefault(false);
    return button;
}

// Shows the item holding the value; a value without an item gets one of its own, so that it is
// kept as it is.
void showValue(QComboBox& box, const QVariant& value)
{
    int index = box.findData(value);
    if (index < 0) {
        box.addItem(value.toString(), value);
        index = box.count() - 1;
    }
    box.setCurrentIndex(index);
}

template <typename Widget>
Widget* named(const char* name, Widget* widget)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

TextBlockEditor::TextBlockEditor(Actions actions)
    : mActions(std::move(actions)), mSearchReplaceModel([this] { mActions.edited(); })
{
    addTab(makeTextTab(), localized("Text"));
    addTab(makeFrameTab(), localized("Frame"));
    addTab(makeOtherTab(), localized("Other"));
    setSpec(nullptr);
}

void TextBlockEditor::setSpec(const textBlockSpec::Pointer& spec)
{
    mSpec = spec;
    mSearchReplaceModel.setSpec(spec);
    setEnabled(spec != nullptr);
    showSpec();
}

void TextBlockEditor::showSpec()
{
    const auto spec = mSpec.lock();
    if (!spec)
        return;
    for (const auto& show : mShows)
        show(*spec);
    updateEnabled(*spec);
}

void TextBlockEditor::addShow(QObject* widget, Show show)
{
    mShows.push_back([widget, show = std::move(show)](const textBlockSpec& spec) {
        const QSignalBlocker blocker(widget);
        show(spec);
    });
}

void TextBlockEditor::edit(const Edit& change)
{
    const auto spec = mSpec.lock();
    if (!spec || !change(*spec))
        return;
    updateEnabled(*spec);
    mActions.edited();
}

void TextBlockEditor::updateEnabled(const textBlockSpec& spec)
{
    mFieldBox->setEnabled(spec.textSource() == textBlockSpec::textSourceIPTCField);
    mRulesButton->setEnabled(spec.textSource() == textBlockSpec::textSourceRules);
    mScriptField->setEnabled(spec.textSource() == textBlockSpec::textSourceScript);
    mSearchReplaceTable->setEnabled(spec.searchReplace());
    mSearchReplaceButtons->setEnabled(spec.searchReplace());
    const std::string key = spec.theHotKey()->menuItemString();
    mHotKeyButton->setText(key.empty() ? localized("Set hot key…") : QString::fromStdString(key));
}

QWidget* TextBlockEditor::makeTextTab()
{
    auto* page = new QWidget;
    QFormLayout* form = formOf(page);
    form->addRow(localized("Name:"), named("name", textField([](const textBlockSpec& s) { return s.name(); },
                                               [](textBlockSpec& s, std::string v) { s.setName(std::move(v)); })));
    makeSourceFields(*form);
    form->addRow(localized("Prefix:"), named("prefix", optionalTextField([](const textBlockSpec& s) { return s.prefix(); },
                                                         [](textBlockSpec& s, auto v) { s.setPrefix(std::move(v)); })));
    form->addRow(localized("Suffix:"), named("suffix", optionalTextField([](const textBlockSpec& s) { return s.suffix(); },
                                                         [](textBlockSpec& s, auto v) { s.setSuffix(std::move(v)); })));
    form->addRow(localized("Case:"),
                 named("textCase", choiceBox({{localized("Unchanged"), textBlockSpec::textCaseUnchanged},
                            {localized("UPPER CASE"), textBlockSpec::textCaseUpper},
                            {localized("lower case"), textBlockSpec::textCaseLower},
                            {localized("Capitalized"), textBlockSpec::textCaseCapitalized}},
                           [](const textBlockSpec& s) { return s.textCase(); },
                           [](textBlockSpec& s, std::int64_t v) { s.setTextCase(v); })));
    form->addRow(named("stripCRs", checkBox("Replace line breaks with spaces", [](const textBlockSpec& s) { return s.stripCRs(); },
                          [](textBlockSpec& s, bool v) { s.setStripCRs(v); })));
    form->addRow(named("insertEndOfNestedStyleCharacter", checkBox("Start with the end-of-nested-style character",
                          [](const textBlockSpec& s) { return s.insertEndOfNestedStyleCharacter(); },
                          [](textBlockSpec& s, bool v) { s.setInsertEndOfNestedStyleCharacter(v); })));
    form->addRow(named("searchReplace", checkBox("Search and replace:", [](const textBlockSpec& s) { return s.searchReplace(); },
                          [](textBlockSpec& s, bool v) { s.setSearchReplace(v); })));
    form->addRow(makeSearchReplace());
    return page;
}

QWidget* TextBlockEditor::makeSourceFields(QFormLayout& form)
{
    QComboBox* source = choiceBox({{localized("Metadata field"), textBlockSpec::textSourceIPTCField},
                                   {localized("Rules"), textBlockSpec::textSourceRules},
                                   {localized("Script (kept, not run)"), textBlockSpec::textSourceScript}},
                                  [](const textBlockSpec& s) { return s.textSource(); },
                                  [](textBlockSpec& s, std::int64_t v) { s.setTextSource(v); });
    source->setObjectName("textSource");
    form.addRow(localized("Text from:"), source);
    form.addRow(localized("Field:"), fieldBox());
    mRulesButton = button("Edit rules…");
    mRulesButton->setObjectName("editRules");
    connect(mRulesButton, &QPushButton::clicked, this, [this] { mActions.showTextConcatEditor(); });
    auto* rulesCount = new QLabel;
    addShow(rulesCount, [rulesCount](const textBlockSpec& s) {
        const auto count = s.textConcatSpecs() ? s.textConcatSpecs()->size() : 0;
        rulesCount->setText(localizedFormat("%@ rules", {std::to_string(count)}));
    });
    auto* rules = new QHBoxLayout;
    rules->addWidget(mRulesButton);
    rules->addWidget(rulesCount, 1);
    form.addRow(localized("Rules:"), rules);
    form.addRow(localized("Script:"), scriptField());
    return source;
}

QComboBox* TextBlockEditor::fieldBox()
{
    mFieldBox = new QComboBox;
    mFieldBox->setObjectName("textGenerationIPTCField");
    const QVariant none(QStringLiteral("none"));
    mFieldBox->addItem(localized("None"), none);
    for (const auto& code : cIPTCCode::allCodesSortedByName())
        mFieldBox->addItem(QString::fromStdString(code.description()), RuleTableModel::codeValue(code));
    addShow(mFieldBox, [this, none](const textBlockSpec& s) {
        const auto& field = s.textGenerationIPTCField();
        showValue(*mFieldBox, field ? QVariant(RuleTableModel::codeValue(*field)) : none);
    });
    connect(mFieldBox, &QComboBox::activated, this, [this, none](int index) {
        const QVariant value = mFieldBox->itemData(index);
        const auto field = value == none ? std::nullopt : std::optional(RuleTableModel::codeOfValue(value.toLongLong()));
        edit([&](textBlockSpec& s) {
            if (s.textGenerationIPTCField() == field)
                return false;
            s.setTextGenerationIPTCField(field);
            return true;
        });
    });
    return mFieldBox;
}

QPlainTextEdit* TextBlockEditor::scriptField()
{
    mScriptField = new QPlainTextEdit;
    mScriptField->setObjectName("textGenerationAppleScript");
    mScriptField->setToolTip(localized("The script is kept with the text block; it makes no text."));
    mScriptField->setFixedHeight(mScriptField->fontMetrics().lineSpacing() * 3 + 12);
    addShow(mScriptField, [this](const textBlockSpec& s) {
        mScriptField->setPlainText(QString::fromStdString(s.textGenerationAppleScript().value_or("")));
    });
    connect(mScriptField, &QPlainTextEdit::textChanged, this, [this] {
        const std::string text = mScriptField->toPlainText().toStdString();
        edit([&](textBlockSpec& s) {
            s.setTextGenerationAppleScript(text.empty() ? std::nullopt : std::optional(text));
            return true;
        });
    });
    return mScriptField;
}

QWidget* TextBlockEditor::makeSearchReplace()
{
    mSearchReplaceTable = new QTableView;
    mSearchReplaceTable->setObjectName("searchReplaceSpecs");
    mSearchReplaceTable->setModel(&mSearchReplaceModel);
    mSearchReplaceTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mSearchReplaceTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mSearchReplaceTable->verticalHeader()->hide();
    mSearchReplaceTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    mSearchReplaceTable->horizontalHeader()->setSectionResizeMode(SearchReplaceModel::MatchCaseColumn,
                                                                  QHeaderView::ResizeToContents);
    const auto selectedRow = [this] {
        const auto rows = mSearchReplaceTable->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    };
    QPushButton* add = button("Add pair");
    QPushButton* remove = button("Remove pair");
    connect(add, &QPushButton::clicked, this, [this, selectedRow] {
        const int row = mSearchReplaceModel.insertPairAfter(selectedRow());
        if (row >= 0)
            mSearchReplaceTable->selectRow(row);
    });
    connect(remove, &QPushButton::clicked, this, [this, selectedRow] { mSearchReplaceModel.removePair(selectedRow()); });
    mSearchReplaceButtons = new QWidget;
    auto* buttons = new QHBoxLayout(mSearchReplaceButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mSearchReplaceTable, 1);
    layout->addWidget(mSearchReplaceButtons);
    return box;
}

QWidget* TextBlockEditor::makeFrameTab()
{
    auto* page = new QWidget;
    QFormLayout* form = formOf(page);
    form->addRow(localized("Paragraph style:"),
                 named("paragraphStyleName", optionalTextField([](const textBlockSpec& s) { return s.paragraphStyleName(); },
                                   [](textBlockSpec& s, auto v) { s.setParagraphStyleName(std::move(v)); })));
    form->addRow(localized("Text colour swatch:"),
                 named("textColorSwatchName", optionalTextField([](const textBlockSpec& s) { return s.textColorSwatchName(); },
                                   [](textBlockSpec& s, auto v) { s.setTextColorSwatchName(std::move(v)); })));
    form->addRow(localized("Object style:"),
                 named("objectStyleName", optionalTextField([](const textBlockSpec& s) { return s.objectStyleName(); },
                                   [](textBlockSpec& s, auto v) { s.setObjectStyleName(std::move(v)); })));
    form->addRow(localized("Position:"), layoutCodeBox("position", [](const textBlockSpec& s) { return s.position(); },
                                                       [](textBlockSpec& s, std::int64_t v) { s.setPosition(v); }));
    form->addRow(localized("Frame size across the edge:"),
                 named("frameIndependentDimension", distanceBox([](const textBlockSpec& s) { return s.frameIndependentDimension(); },
                             [](textBlockSpec& s, float v) { s.setFrameIndependentDimension(v); })));
    form->addRow(localized("Horizontal gutter:"),
                 named("horizontalGutter", distanceBox([](const textBlockSpec& s) { return s.horizontalGutter(); },
                             [](textBlockSpec& s, float v) { s.setHorizontalGutter(v); })));
    form->addRow(localized("Vertical gutter:"), named("verticalGutter", distanceBox([](const textBlockSpec& s) { return s.verticalGutter(); },
                                                            [](textBlockSpec& s, float v) { s.setVerticalGutter(v); })));
    form->addRow(named("fitFrameToContent", checkBox("Fit frame to content", [](const textBlockSpec& s) { return s.fitFrameToContent(); },
                          [](textBlockSpec& s, bool v) { s.setFitFrameToContent(v); })));
    form->addRow(localized("Text angle:"), layoutCodeBox("textAngle", [](const textBlockSpec& s) { return s.textAngle(); },
                                                         [](textBlockSpec& s, std::int64_t v) { s.setTextAngle(v); }));
    form->addRow(localized("Vertical justification:"),
                 layoutCodeBox("verticalJustification", [](const textBlockSpec& s) { return s.verticalJustification(); },
                               [](textBlockSpec& s, std::int64_t v) { s.setVerticalJustification(v); }));
    form->addRow(localized("Horizontal justification:"),
                 layoutCodeBox("horizontalJustification",
                               [](const textBlockSpec& s) { return s.horizontalJustification(); },
                               [](textBlockSpec& s, std::int64_t v) { s.setHorizontalJustification(v); }));
    form->addRow(localized("Text wrap:"), layoutCodeBox("textWrap", [](const textBlockSpec& s) { return s.textWrap(); },
                                                        [](textBlockSpec& s, std::int64_t v) { s.setTextWrap(v); }));
    return page;
}

QWidget* TextBlockEditor::makeOtherTab()
{
    auto* page = new QWidget;
    QFormLayout* form = formOf(page);
    mHotKeyButton = button("Set hot key…");
    mHotKeyButton->setObjectName("editHotkey");
    connect(mHotKeyButton, &QPushButton::clicked, this, [this] { mActions.editHotkey(); });
    QPushButton* clear = button("Clear");
    connect(clear, &QPushButton::clicked, this, [this] {
        edit([](textBlockSpec& s) {
            if (!s.theHotKey()->validHotKey())
                return false;
            s.theHotKey()->clearHotKeyEvent();
            return true;
        });
    });
    auto* hotKey = new QHBoxLayout;
    hotKey->addWidget(mHotKeyButton, 1);
    hotKey->addWidget(clear);
    form->addRow(localized("Hot key:"), hotKey);
    form->addRow(named("display", checkBox("Show in the menus and install the hot key", [](const textBlockSpec& s) { return s.display(); },
                          [](textBlockSpec& s, bool v) { s.setDisplay(v); })));
    auto* note = new QLabel(localized("Hot keys take effect when the preferences window closes."));
    note->setWordWrap(true);
    form->addRow(note);
    return page;
}

QLineEdit* TextBlockEditor::textField(std::function<std::string(const textBlockSpec&)> get,
                                      std::function<void(textBlockSpec&, std::string)> set)
{
    auto* field = new QLineEdit;
    addShow(field, [field, get](const textBlockSpec& s) { field->setText(QString::fromStdString(get(s))); });
    connect(field, &QLineEdit::editingFinished, this, [this, field, get, set] {
        const std::string text = field->text().toStdString();
        edit([&](textBlockSpec& s) {
            if (get(s) == text)
                return false;
            set(s, text);
            return true;
        });
    });
    return field;
}

QLineEdit* TextBlockEditor::optionalTextField(std::function<std::optional<std::string>(const textBlockSpec&)> get,
                                              std::function<void(textBlockSpec&, std::optional<std::string>)> set)
{
    return textField([get](const textBlockSpec& s) { return get(s).value_or(""); },
                     [set](textBlockSpec& s, std::string text) {
                         set(s, text.empty() ? std::nullopt : std::optional(std::move(text)));
                     });
}

QCheckBox* TextBlockEditor::checkBox(const char* title, std::function<bool(const textBlockSpec&)> get,
                                     std::function<void(textBlockSpec&, bool)> set)
{
    auto* box = new QCheckBox(localized(title));
    addShow(box, [box, get](const textBlockSpec& s) { box->setChecked(get(s)); });
    connect(box, &QCheckBox::toggled, this, [this, set](bool on) {
        edit([&](textBlockSpec& s) {
            set(s, on);
            return true;
        });
    });
    return box;
}

QComboBox* TextBlockEditor::choiceBox(std::vector<std::pair<QString, std::int64_t>> choices,
                                      std::function<std::int64_t(const textBlockSpec&)> get,
                                      std::function<void(textBlockSpec&, std::int64_t)> set)
{
    auto* box = new QComboBox;
    for (const auto& [title, code] : choices)
        box->addItem(title, QVariant::fromValue<qlonglong>(code));
    addShow(box, [box, get](const textBlockSpec& s) { showValue(*box, QVariant::fromValue<qlonglong>(get(s))); });
    connect(box, &QComboBox::activated, this, [this, box, get, set](int index) {
        const std::int64_t code = box->itemData(index).toLongLong();
        edit([&](textBlockSpec& s) {
            if (get(s) == code)
                return false;
            set(s, code);
            return true;
        });
    });
    return box;
}

QComboBox* TextBlockEditor::layoutCodeBox(const std::string& field, std::function<std::int64_t(const textBlockSpec&)> get,
                                          std::function<void(textBlockSpec&, std::int64_t)> set)
{
    std::vector<std::pair<QString, std::int64_t>> choices;
    if (const LayoutCodes::Field* codes = LayoutCodes::field(field))
        for (const auto& choice : codes->choices)
            choices.emplace_back(localized(choice.title), choice.code);
    QComboBox* box = choiceBox(std::move(choices), std::move(get), std::move(set));
    box->setObjectName(QString::fromStdString(field));
    return box;
}

QDoubleSpinBox* TextBlockEditor::distanceBox(std::function<float(const textBlockSpec&)> get,
                                             std::function<void(textBlockSpec&, float)> set)
{
    auto* box = new QDoubleSpinBox;
    box->setRange(-10000, 10000);
    box->setDecimals(2);
    box->setSuffix(localized(" pt"));
    box->setKeyboardTracking(false);
    addShow(box, [box, get](const textBlockSpec& s) { box->setValue(get(s)); });
    connect(box, &QDoubleSpinBox::valueChanged, this, [this, get, set](double value) {
        edit([&](textBlockSpec& s) {
            if (get(s) == static_cast<float>(value))
                return false;
            set(s, static_cast<float>(value));
            return true;
        });
    });
    return box;
}

} // namespace qm
