#include "BylinesView.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "ListBox.h"
#include "TextBlockEditor.h"
#include "app/ArrayControllerExtension.h"
#include "app/Quillmark.h"
#include "app/TextBlockSpecPasteboard.h"
#include "foundation/UserDefaults.h"
#include "textgen/PublicationsJSON.h"
#include "ui/Localized.h"
#include "ui/hotKeyWindow.h"
#include "ui/iptcTextConcatEditorController.h"

namespace qm {

namespace {

constexpr const char* SeparatorName = "-";
constexpr int ViewWidth = 940;

template <typename Spec>
bool isListed(const std::shared_ptr<Spec>& spec)
{
    return spec && spec->name() != SeparatorName;
}

template <typename Spec>
QStringList namesOf(const std::vector<std::shared_ptr<Spec>>& objects)
{
    QStringList names;
    for (const auto& object : objects)
        names.append(QString::fromStdString(object->name()));
    return names;
}

// The duplicate's defaults name its own copies of the source's default text blocks.
template <typename Spec>
std::optional<std::string> copiedDefault(const std::optional<std::string>& id, const std::vector<std::shared_ptr<Spec>>& source,
                                         const std::vector<std::shared_ptr<Spec>>& copies)
{
    for (std::size_t index = 0; index < source.size() && index < copies.size(); ++index)
        if (id && source[index]->uniqueIDString() == *id)
            return copies[index]->uniqueIDString();
    return id;
}

} // namespace

// What tells a publication's bylines from its captions.
struct BylinesView::Bylines {
    using Spec = textBlockSpec_Byline;
    static constexpr Kind kind = Byline;
    static const auto& content(const quillmarkPublication& p) { return p.bylines(); }
    static void setContent(quillmarkPublication& p, quillmarkPublication::Bylines specs) { p.setBylines(std::move(specs)); }
    static auto make(const quillmarkPublication& p) { return textBlockSpec_Byline::initWithPublication(p); }
    static const auto& defaultID(const quillmarkPublication& p) { return p.defaultBylineID(); }
    static void setDefaultID(quillmarkPublication& p, std::optional<std::string> id) { p.setDefaultBylineID(std::move(id)); }
    static auto defaultSpec(const quillmarkPublication& p) { return p.defaultBylineSpec(); }
};

struct BylinesView::Captions {
    using Spec = textBlockSpec_Caption;
    static constexpr Kind kind = Caption;
    static const auto& content(const quillmarkPublication& p) { return p.captions(); }
    static void setContent(quillmarkPublication& p, quillmarkPublication::Captions specs) { p.setCaptions(std::move(specs)); }
    static auto make(const quillmarkPublication& p) { return textBlockSpec_Caption::initWithPublication(p); }
    static const auto& defaultID(const quillmarkPublication& p) { return p.defaultCaptionID(); }
    static void setDefaultID(quillmarkPublication& p, std::optional<std::string> id) { p.setDefaultCaptionID(std::move(id)); }
    static auto defaultSpec(const quillmarkPublication& p) { return p.defaultCaptionSpec(); }
};

BylinesView::BylinesView(Quillmark& controller) : mController(controller), mDefaults(controller.defaults())
{
    auto* splitter = new QSplitter;
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(makePublicationsColumn());
    splitter->addWidget(makeTextBlockColumn());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({360, ViewWidth - 360});
    mSettingsFileNote = new QLabel;
    mSettingsFileNote->setObjectName("settingsFileNote");
    mSettingsFileNote->setWordWrap(true);
    mSettingsFileNote->setFrameShape(QFrame::StyledPanel);
    mSettingsFileNote->setMargin(6);
    mSettingsFileNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mSettingsFileNote->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(makeFileButtons());
    layout->addWidget(mSettingsFileNote);
    setFixedWidth(ViewWidth);
    mTextBlockSelection = {0, 0};
    showAll();
    followChangesMadeElsewhere();
}

BylinesView::~BylinesView()
{
    if (Quillmark::sharedInstance() != &mController)
        return;
    for (const auto id : mControllerObservers)
        mController.removeObserver(id);
    for (const auto id : mDefaultsObservers)
        mDefaults.removeObserver(id);
}

void BylinesView::followChangesMadeElsewhere()
{
    const auto showDid = [this](const std::string&, KeyValueObservable::Change change) {
        if (change == KeyValueObservable::Change::Did && !mStoring)
            showAll();
    };
    mControllerObservers.push_back(mController.addObserver("publications", showDid));
    mControllerObservers.push_back(mController.addObserver("selectedPublicationIndex", showDid));
    mDefaultsObservers.push_back(mDefaults.addObserver(PublicationStore::PublicationsKey, [this](const auto&, const auto&) {
        if (!mStoring)
            showAll();
    }));
}

QWidget* BylinesView::makePublicationsColumn()
{
    mPublicationList = new ListBox(localized("Publications"), {
        [this](auto index) {
            if (mStoring || index == mController.selectedPublicationIndex())
                return;
            {
                const QScopedValueRollback guard(mStoring, true);
                mController.setSelectedPublicationIndex(index);
            }
            mTextBlockSelection = {0, 0};
            showTextBlocks();
        },
        [this](std::size_t index, const QString& name) {
            if (index < mController.publications().size()) {
                mController.publications()[index]->setName(name.toStdString());
                store();
            }
        },
        [this] { changePublications([](auto& c) { Quillmark::insertAndSelectObjectInArrayController(c); }); },
        [this] { changePublications([](auto& c) { ArrayControllerExtension::removeSelectedItem(c); }); },
        [this] { changePublications([](auto& c) { ArrayControllerExtension::moveSelectedItemUpAction(c); }); },
        [this] { changePublications([](auto& c) { ArrayControllerExtension::moveSelectedItemDownAction(c); }); },
        [this] {
            changePublications([](auto& c) {
                const auto source = c.selectionIndex ? c.arrangedObjects[*c.selectionIndex] : nullptr;
                ArrayControllerExtension::duplicateSelectedItem(c);
                const auto copy = c.selectionIndex ? c.arrangedObjects[*c.selectionIndex] : nullptr;
                if (source && copy && source != copy) {
                    copy->setDefaultBylineID(copiedDefault(source->defaultBylineID(), source->bylines(), copy->bylines()));
                    copy->setDefaultCaptionID(
                        copiedDefault(source->defaultCaptionID(), source->captions(), copy->captions()));
                }
            });
        },
    });
    mPublicationList->setObjectName("publications");
    mPublicationList->list().setMaximumHeight(130);
    mTextBlockLists[Byline] = makeTextBlockList<Bylines>(localized("Bylines"));
    mTextBlockLists[Caption] = makeTextBlockList<Captions>(localized("Captions"));
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mPublicationList);
    layout->addWidget(makePublicationFields());
    layout->addWidget(mTextBlockLists[Byline], 1);
    layout->addWidget(mTextBlockLists[Caption], 1);
    return column;
}

QWidget* BylinesView::makePublicationFields()
{
    auto* box = new QGroupBox(localized("Selected publication"));
    auto* form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const Kind kind : {Byline, Caption}) {
        mDefaultBoxes[kind] = new QComboBox;
        mDefaultBoxes[kind]->setObjectName(kind == Byline ? "defaultByline" : "defaultCaption");
        connect(mDefaultBoxes[kind], &QComboBox::activated, this, [this, kind](int index) { chooseDefault(kind, index); });
    }
    form->addRow(localized("Default byline:"), mDefaultBoxes[Byline]);
    form->addRow(localized("Default caption:"), mDefaultBoxes[Caption]);
    mUseDragAndDropStyle = new QCheckBox(localized("Apply a paragraph style to metadata dragged from the panel"));
    mDragAndDropStyle = new QLineEdit;
    mDragAndDropStyle->setObjectName("dragAndDropParagraphStyle");
    connect(mUseDragAndDropStyle, &QCheckBox::toggled, this, [this](bool on) {
        if (const auto publication = selectedPublication()) {
            publication->setUseDragAndDropParagraphStyle(on);
            store();
        }
    });
    connect(mDragAndDropStyle, &QLineEdit::editingFinished, this, [this] {
        const auto publication = selectedPublication();
        const std::string style = mDragAndDropStyle->text().toStdString();
        if (!publication || publication->dragAndDropParagraphStyle().value_or("") == style)
            return;
        publication->setDragAndDropParagraphStyle(style.empty() ? std::nullopt : std::optional(style));
        store();
    });
    form->addRow(mUseDragAndDropStyle);
    form->addRow(localized("Paragraph style:"), mDragAndDropStyle);
    return box;
}

template <typename List>
ListBox* BylinesView::makeTextBlockList(const QString& title)
{
    constexpr Kind kind = List::kind;
    auto* box = new ListBox(title, {
        [this](auto index) { selectTextBlock(kind, index); },
        [this](std::size_t index, const QString& name) { renameTextBlock(kind, index, name); },
        [this] {
            changeTextBlocks<List>([](auto& c, quillmarkPublication& publication) {
                c.newObject = [&publication] { return List::make(publication); };
                Quillmark::insertAndSelectObjectInArrayController(c);
            });
        },
        [this] {
            changeTextBlocks<List>([](auto& c, quillmarkPublication& publication) {
                const auto removed = c.selectionIndex ? c.arrangedObjects[*c.selectionIndex] : nullptr;
                ArrayControllerExtension::removeSelectedItem(c);
                if (removed && List::defaultID(publication) == removed->uniqueIDString())
                    List::setDefaultID(publication, std::nullopt);
            });
        },
        [this] { changeTextBlocks<List>([](auto& c, auto&) { ArrayControllerExtension::moveSelectedItemUpAction(c); }); },
        [this] { changeTextBlocks<List>([](auto& c, auto&) { ArrayControllerExtension::moveSelectedItemDownAction(c); }); },
        [this] { changeTextBlocks<List>([](auto& c, auto&) { ArrayControllerExtension::duplicateSelectedItem(c); }); },
    });
    box->setObjectName(kind == Byline ? "bylines" : "captions");
    connect(&box->list(), &QListWidget::itemPressed, this,
            [this, box](QListWidgetItem* item) { selectTextBlock(kind, box->list().row(item)); });
    QMenu* menu = makePasteboardMenu(kind);
    auto* edit = new QPushButton(localized("Copy and paste"));
    edit->setObjectName("pasteboard");
    edit->setAutoDefault(false);
    edit->setMenu(menu);
    box->buttons().addWidget(edit);
    box->list().setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&box->list(), &QWidget::customContextMenuRequested, this,
            [box, menu](const QPoint& at) { menu->popup(box->list().viewport()->mapToGlobal(at)); });
    return box;
}

QMenu* BylinesView::makePasteboardMenu(Kind kind)
{
    auto* menu = new QMenu(this);
    menu->addAction(localized("Copy"), this, [this, kind] { copyTextBlock(kind); });
    menu->addSeparator();
    const std::pair<const char*, unsigned> pastes[] = {
        {"Paste text extraction properties", TextBlockSpecPasteboard::TextExtraction},
        {"Paste text frame properties", TextBlockSpecPasteboard::TextFrame},
        {"Paste all properties", TextBlockSpecPasteboard::AllProperties},
    };
    QList<QAction*> pasteActions;
    for (const auto& [title, mask] : pastes)
        pasteActions.append(menu->addAction(localized(title), this, [this, kind, mask] { pasteProperties(kind, mask); }));
    connect(menu, &QMenu::aboutToShow, this, [pasteActions] {
        for (QAction* action : pasteActions)
            action->setEnabled(TextBlockSpecPasteboard::canPasteTextBlockSpecData());
    });
    return menu;
}

QWidget* BylinesView::makeTextBlockColumn()
{
    mTextBlockEditor = new TextBlockEditor({
        [this] {
            store();
            showTextBlockLists();
            showEditedSpec(false);
        },
        [this] { showTextConcatEditorAction(); },
        [this] { editHotkey(); },
    });
    mTextBlockBox = new QGroupBox;
    auto* layout = new QVBoxLayout(mTextBlockBox);
    layout->addWidget(mTextBlockEditor);
    return mTextBlockBox;
}

QWidget* BylinesView::makeFileButtons()
{
    auto* importButton = new QPushButton(localized("Import…"));
    importButton->setObjectName("import");
    importButton->setToolTip(localized("Publications from a JSON file, instead of the current ones or after them"));
    auto* exportButton = new QPushButton(localized("Export…"));
    exportButton->setObjectName("export");
    exportButton->setToolTip(localized("All publications to a JSON file"));
    connect(importButton, &QPushButton::clicked, this, [this] { runImportDialog(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { runExportDialog(); });
    auto* buttons = new QWidget;
    auto* layout = new QHBoxLayout(buttons);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(localized("Publications file:")));
    layout->addWidget(importButton);
    layout->addWidget(exportButton);
    layout->addStretch(1);
    return buttons;
}

void BylinesView::showSettingsFileNote(bool shown)
{
    const std::string path = mDefaults.stringForKey("publicationSettingsFilePath").value_or("");
    mSettingsFileNote->setText(
        path.empty() ? localized("The publications are to be loaded from a publication settings file at every start, "
                                 "but no file is chosen (General preferences).")
                     : localizedFormat("The publications are loaded from the publication settings file \"%@\" at every "
                                       "start, replacing the changes made here.",
                                       {path}));
    mSettingsFileNote->setVisible(shown);
}

quillmarkPublication::Pointer BylinesView::selectedPublication() const
{
    const auto index = mController.selectedPublicationIndex();
    const auto& publications = mController.publications();
    return index && *index < publications.size() ? publications[*index] : nullptr;
}

template <typename List>
ArrayController<std::shared_ptr<typename List::Spec>> BylinesView::textBlockController() const
{
    ArrayController<std::shared_ptr<typename List::Spec>> controller;
    if (const auto publication = selectedPublication())
        controller.arrangedObjects = ArrayControllerExtension::arrangedObjects<std::shared_ptr<typename List::Spec>>(
            List::content(*publication), isListed<typename List::Spec>);
    const auto index = mTextBlockSelection[List::kind];
    if (index && *index < controller.arrangedObjects.size())
        controller.selectionIndex = index;
    return controller;
}

textBlockSpec::Pointer BylinesView::editedSpec() const
{
    const auto editedOf = [](const auto& controller) -> textBlockSpec::Pointer {
        return controller.selectionIndex ? controller.arrangedObjects[*controller.selectionIndex] : nullptr;
    };
    return mEditedKind == Byline ? editedOf(textBlockController<Bylines>()) : editedOf(textBlockController<Captions>());
}

// Runs the change on the listed text blocks of the selected publication, puts them back among
// the hidden ones and stores the list.
template <typename List, typename Change>
void BylinesView::changeTextBlocks(Change change)
{
    const auto publication = selectedPublication();
    if (!publication)
        return;
    auto controller = textBlockController<List>();
    change(controller, *publication);
    List::setContent(*publication, ArrayControllerExtension::contentWithArrangedObjects<std::shared_ptr<typename List::Spec>>(
                                       List::content(*publication), isListed<typename List::Spec>,
                                       controller.arrangedObjects));
    mTextBlockSelection[List::kind] = controller.selectionIndex;
    mEditedKind = List::kind;
    store();
    showTextBlocks();
}

// Runs the change on the publication list; the current publication stays current where it goes.
template <typename Change>
void BylinesView::changePublications(Change change)
{
    ArrayController<quillmarkPublication::Pointer> controller{mController.publications(),
                                                              mController.selectedPublicationIndex(),
                                                              [] { return quillmarkPublication::create(); }};
    const auto current = mController.currentPublication();
    const auto selected = selectedPublication();
    change(controller);
    {
        const QScopedValueRollback guard(mStoring, true);
        mController.setPublications(controller.arrangedObjects);
        mController.setSelectedPublicationIndex(controller.selectionIndex);
        const auto& list = mController.publications();
        const auto found = std::find(list.begin(), list.end(), current);
        if (current && found != list.end())
            mDefaults.setObject(PublicationStore::CurrentPublicationIndexKey, PlistValue(found - list.begin()));
    }
    if (selectedPublication() != selected)
        mTextBlockSelection = {0, 0};
    showAll();
}

void BylinesView::selectTextBlock(Kind kind, std::optional<std::size_t> index)
{
    if (mStoring || !index)
        return;
    mTextBlockSelection[kind] = index;
    mEditedKind = kind;
    showEditedSpec(true);
}

void BylinesView::renameTextBlock(Kind kind, std::size_t index, const QString& name)
{
    mTextBlockSelection[kind] = index;
    mEditedKind = kind;
    const auto spec = editedSpec();
    if (!spec)
        return;
    spec->setName(name.toStdString());
    store();
    // The list is shown again once its item has finished its edit.
    QMetaObject::invokeMethod(this, [this] { showTextBlocks(); }, Qt::QueuedConnection);
}

void BylinesView::copyTextBlock(Kind kind)
{
    if (kind == Byline)
        TextBlockSpecPasteboard::copyTextBlockSpecFromArrayController(textBlockController<Bylines>());
    else
        TextBlockSpecPasteboard::copyTextBlockSpecFromArrayController(textBlockController<Captions>());
}

void BylinesView::pasteProperties(Kind kind, unsigned mask)
{
    const bool pasted = kind == Byline ? TextBlockSpecPasteboard::pasteProperties(mask, textBlockController<Bylines>())
                                       : TextBlockSpecPasteboard::pasteProperties(mask, textBlockController<Captions>());
    if (!pasted)
        return;
    mEditedKind = kind;
    store();
    showTextBlocks();
}

void BylinesView::chooseDefault(Kind kind, int index)
{
    const auto publication = selectedPublication();
    if (!publication || index < 0)
        return;
    const auto choose = [&](const auto& controller, auto setDefault) {
        if (static_cast<std::size_t>(index) < controller.arrangedObjects.size())
            setDefault(controller.arrangedObjects[static_cast<std::size_t>(index)]->uniqueIDString());
    };
    if (kind == Byline)
        choose(textBlockController<Bylines>(), [&](std::string id) { publication->setDefaultBylineID(std::move(id)); });
    else
        choose(textBlockController<Captions>(), [&](std::string id) { publication->setDefaultCaptionID(std::move(id)); });
    store();
}

void BylinesView::showTextConcatEditorAction()
{
    if (const auto spec = editedSpec())
        ruleEditor().runNonmodalEditor(spec);
}

void BylinesView::editHotkey()
{
    const auto spec = editedSpec();
    if (!spec)
        return;
    const QPointer<BylinesView> view(this);
    hotKeyWindow::sharedInstance().editKeyForActionDescriptor(spec->theHotKey(),
                                                              QString::fromStdString(spec->editHotkeyPrompt()), [view] {
                                                                  if (!view)
                                                                      return;
                                                                  view->store();
                                                                  view->mTextBlockEditor->showSpec();
                                                              });
}

// The program's rule editor; where there is none (a pane loaded alone), one of the pane's own that
// stores the rules when it closes.
iptcTextConcatEditorController& BylinesView::ruleEditor()
{
    if (auto* shared = iptcTextConcatEditorController::sharedInstance())
        return *shared;
    mRuleEditor = std::make_unique<iptcTextConcatEditorController>(mController);
    mRuleEditor->setEditingEndedHandler([this] { store(); });
    mRuleEditor->setRulesChangedHandler([this] { store(); });
    return *mRuleEditor;
}

void BylinesView::store()
{
    const QScopedValueRollback guard(mStoring, true);
    mController.setPublications(mController.publications());
}

QString BylinesView::importPublicationsFromFile(const QString& path, bool append)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray json = file.readAll();
    auto imported = PublicationsJSON::importPublications(std::string_view(json.constData(), json.size()));
    if (!imported)
        return QString::fromStdString(imported.error);
    PublicationStore::Publications publications = append ? mController.publications() : PublicationStore::Publications{};
    const std::size_t first = publications.size();
    publications.insert(publications.end(), imported.publications->begin(), imported.publications->end());
    {
        const QScopedValueRollback guard(mStoring, true);
        mController.setPublications(std::move(publications));
        if (first < mController.publications().size())
            mController.setSelectedPublicationIndex(first);
    }
    mTextBlockSelection = {0, 0};
    showAll();
    return {};
}

bool BylinesView::exportPublicationsToFile(const QString& path)
{
    const std::string json = PublicationsJSON::exportPublications(mController.publications());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(json.data(), static_cast<qint64>(json.size())) == qint64(json.size()) &&
           file.commit();
}

void BylinesView::runImportDialog()
{
    const QString path = QFileDialog::getOpenFileName(this, localized("Import publications"), {},
                                                      localized("Publications (*.json);;All files (*)"));
    if (path.isEmpty())
        return;
    QMessageBox question(QMessageBox::Question, localized("Import publications"),
                         localized("Should the publications of the file replace the current ones, or be added after "
                                   "them?"),
                         QMessageBox::Cancel, this);
    QPushButton* replace = question.addButton(localized("Replace"), QMessageBox::DestructiveRole);
    QPushButton* add = question.addButton(localized("Add"), QMessageBox::AcceptRole);
    question.setDefaultButton(add);
    question.exec();
    if (question.clickedButton() != replace && question.clickedButton() != add)
        return;
    const QString error = importPublicationsFromFile(path, question.clickedButton() == add);
    if (!error.isEmpty())
        QMessageBox::warning(this, localized("Import publications"),
                             localizedFormat("\"%@\" was not imported: %@",
                                             {QFileInfo(path).fileName().toStdString(), error.toStdString()}));
}

void BylinesView::runExportDialog()
{
    const QString path = QFileDialog::getSaveFileName(this, localized("Export publications"), "Publications.json",
                                                      localized("Publications (*.json);;All files (*)"));
    if (!path.isEmpty() && !exportPublicationsToFile(path))
        QMessageBox::warning(this, localized("Export publications"),
                             localizedFormat("The publications could not be written to \"%@\".", {path.toStdString()}));
}

void BylinesView::showAll()
{
    showPublications();
    showTextBlocks();
}

void BylinesView::showPublications()
{
    mPublicationList->setItems(namesOf(mController.publications()), mController.selectedPublicationIndex());
}

void BylinesView::showPublicationFields()
{
    const auto publication = selectedPublication();
    const auto showDefault = [this, &publication](Kind kind, const auto& controller, const textBlockSpec::Pointer& chosen) {
        QComboBox& box = *mDefaultBoxes[kind];
        const QSignalBlocker blocker(box);
        box.clear();
        box.addItems(namesOf(controller.arrangedObjects));
        const auto found = std::find(controller.arrangedObjects.begin(), controller.arrangedObjects.end(), chosen);
        box.setCurrentIndex(found == controller.arrangedObjects.end() ? -1
                                                                      : static_cast<int>(found - controller.arrangedObjects.begin()));
        box.setEnabled(publication != nullptr);
    };
    showDefault(Byline, textBlockController<Bylines>(), publication ? publication->defaultBylineSpec() : nullptr);
    showDefault(Caption, textBlockController<Captions>(), publication ? publication->defaultCaptionSpec() : nullptr);
    const QSignalBlocker checkBlocker(mUseDragAndDropStyle);
    const QSignalBlocker fieldBlocker(mDragAndDropStyle);
    mUseDragAndDropStyle->setChecked(publication && publication->useDragAndDropParagraphStyle());
    mDragAndDropStyle->setText(QString::fromStdString(publication ? publication->dragAndDropParagraphStyle().value_or("") : ""));
    mUseDragAndDropStyle->setEnabled(publication != nullptr);
    mDragAndDropStyle->setEnabled(publication != nullptr);
}

void BylinesView::showTextBlocks()
{
    showTextBlockLists();
    showEditedSpec(true);
}

void BylinesView::showTextBlockLists()
{
    const auto show = [this](Kind kind, auto controller) {
        if (!controller.selectionIndex && !controller.arrangedObjects.empty())
            controller.selectionIndex = std::min(mTextBlockSelection[kind].value_or(0), controller.arrangedObjects.size() - 1);
        mTextBlockSelection[kind] = controller.selectionIndex;
        mTextBlockLists[kind]->setItems(namesOf(controller.arrangedObjects), controller.selectionIndex);
        mTextBlockLists[kind]->setEnabled(selectedPublication() != nullptr);
    };
    show(Byline, textBlockController<Bylines>());
    show(Caption, textBlockController<Captions>());
    showPublicationFields();
}

void BylinesView::showEditedSpec(bool reshowFields)
{
    const auto spec = editedSpec();
    mTextBlockBox->setTitle(!spec ? localized("No text block chosen")
                                  : localizedFormat(mEditedKind == Byline ? "Byline \"%@\"" : "Caption \"%@\"", {spec->name()}));
    if (spec != mTextBlockEditor->spec())
        mTextBlockEditor->setSpec(spec);
    else if (reshowFields)
        mTextBlockEditor->showSpec();
}

} // namespace qm
