#include "ui/iptcTextConcatEditorController.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "app/Quillmark.h"
#include "foundation/Bundle.h"
#include "platform/Workspace.h"
#include "ui/Localized.h"
#include "ui/ResourceImages.h"
#include "ui/RuleChoiceDelegate.h"

namespace qm {

namespace {

constexpr const char* HelpPage = "html/bylineeditor.html";

// The folder of the help pages, named in the bundle's "Info" resource.
std::string helpBookName()
{
    const auto info = Bundle::main().plistResource("Info");
    const auto* values = info ? info->dictionary() : nullptr;
    const auto found = values ? values->find("CFBundleHelpBookFolder") : PlistDictionary::const_iterator();
    return values && found != values->end() && found->second.string() ? *found->second.string() : "QuillmarkHelp";
}

QPushButton* button(const char* title, const QString& toolTip = {})
{
    auto* button = new QPushButton(localized(title));
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    return button;
}

iptcTextConcatEditorController*& sharedEditor()
{
    static iptcTextConcatEditorController* editor = nullptr;
    return editor;
}

} // namespace

iptcTextConcatEditorController::iptcTextConcatEditorController(Quillmark& controller)
    : QWidget(nullptr, Qt::Window), mController(controller)
{
    if (!sharedEditor())
        sharedEditor() = this;
    setWindowIcon(ResourceImages::applicationIcon());
    mTable = new QTableView;
    mTable->setModel(&mModel);
    mTable->setItemDelegate(new RuleChoiceDelegate(mTable));
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed);
    mTable->setAlternatingRowColors(true);
    mTable->verticalHeader()->hide();
    mTable->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mTable, 1);
    layout->addWidget(makeButtons());
    resize(1000, 320);
    followPublications();
}

iptcTextConcatEditorController::~iptcTextConcatEditorController()
{
    mController.removeObserver(mPublicationsObserver);
    if (sharedEditor() == this)
        sharedEditor() = nullptr;
}

// The edited text block's place is noted before the list is replaced and looked up after.
void iptcTextConcatEditorController::followPublications()
{
    mPublicationsObserver = mController.addObserver("publications", [this](const std::string&, KeyValueObservable::Change change) {
        if (change == KeyValueObservable::Change::Will) {
            mPlaceBeforeReload = TextBlockPlace::of(mController.publications(), editedSpec());
            return;
        }
        const auto place = std::exchange(mPlaceBeforeReload, std::nullopt);
        if (!place)
            return;
        if (auto spec = place->in(mController.publications())) {
            if (spec != editedSpec())
                setEditedSpec(std::move(spec));
        } else {
            setEditedSpec(nullptr);
            if (!mModalRun)
                hide();
        }
    });
}

// Leaving the current cell commits its editor's text, as moving to another cell would.
void iptcTextConcatEditorController::commitPendingEdit()
{
    const QModelIndex current = mTable->currentIndex();
    mTable->setCurrentIndex(QModelIndex());
    mTable->setCurrentIndex(current);
}

iptcTextConcatEditorController* iptcTextConcatEditorController::sharedInstance()
{
    return sharedEditor();
}

QWidget* iptcTextConcatEditorController::makeButtons()
{
    auto* buttons = new QWidget;
    auto* layout = new QHBoxLayout(buttons);
    layout->setContentsMargins(0, 0, 0, 0);
    QPushButton* add = button("Add rule", localized("A new rule after the selected one"));
    QPushButton* remove = button("Remove rule");
    QPushButton* up = button("Move up");
    QPushButton* down = button("Move down");
    QPushButton* help = button("Help");
    QPushButton* close = button("Close", localized("Keeps the changes"));
    QPushButton* done = button("Done", localized("Keeps the changes and makes the byline and caption again"));
    done->setDefault(true);
    connect(add, &QPushButton::clicked, this, [this] { selectRow(mModel.insertRuleAfter(selectedRow())); });
    connect(remove, &QPushButton::clicked, this, [this] { mModel.removeRule(selectedRow()); });
    connect(up, &QPushButton::clicked, this, [this] { selectRow(mModel.moveRule(selectedRow(), -1)); });
    connect(down, &QPushButton::clicked, this, [this] { selectRow(mModel.moveRule(selectedRow(), +1)); });
    connect(help, &QPushButton::clicked, this, [this] { displayHelpAction(); });
    connect(close, &QPushButton::clicked, this, [this] { closeEditorAction(); });
    connect(done, &QPushButton::clicked, this, [this] { commitAndCloseEditorAction(); });
    for (QPushButton* each : {add, remove, up, down})
        layout->addWidget(each);
    layout->addStretch(1);
    for (QPushButton* each : {help, close, done})
        layout->addWidget(each);
    return buttons;
}

void iptcTextConcatEditorController::setEditedSpec(textBlockSpec::Pointer spec)
{
    setWindowTitle(localizedFormat("Rules of %@", {spec ? spec->name() : std::string()}));
    mModel.setEditedSpec(std::move(spec));
    mTable->resizeColumnsToContents();
}

void iptcTextConcatEditorController::runNonmodalEditor(textBlockSpec::Pointer spec)
{
    setEditedSpec(std::move(spec));
    show();
    raise();
    activateWindow();
}

int iptcTextConcatEditorController::runModalEditor(textBlockSpec::Pointer spec)
{
    setEditedSpec(std::move(spec));
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop run;
    mModalRun = &run;
    const int response = run.exec();
    mModalRun = nullptr;
    // Modality changes only while hidden.
    hide();
    setWindowModality(Qt::NonModal);
    return response;
}

void iptcTextConcatEditorController::endModalRun()
{
    if (mEditingEnded)
        mEditingEnded();
    if (mModalRun)
        mModalRun->exit(0);
    else
        hide();
}

void iptcTextConcatEditorController::closeEditorAction()
{
    endModalRun();
}

void iptcTextConcatEditorController::commitAndCloseEditorAction()
{
    const bool modal = mModalRun;
    endModalRun();
    if (!modal)
        mController.currentImage().updateBylineAndCaption();
}

void iptcTextConcatEditorController::displayHelpAction()
{
    Workspace::current()->openFile(Bundle::main().resourcePath() / helpBookName() / HelpPage);
}

void iptcTextConcatEditorController::closeEvent(QCloseEvent* event)
{
    if (mModalRun) {
        event->ignore();
        endModalRun();
        return;
    }
    if (mEditingEnded)
        mEditingEnded();
    QWidget::closeEvent(event);
}

int iptcTextConcatEditorController::selectedRow() const
{
    const auto rows = mTable->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void iptcTextConcatEditorController::selectRow(int row)
{
    if (row >= 0)
        mTable->selectRow(row);
}

} // namespace qm
