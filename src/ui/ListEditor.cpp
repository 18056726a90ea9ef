#include "ui/ListEditor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/Localized.h"

namespace qm {

ListEditor::ListEditor(const QStringList& columnTitles, QWidget* parent) : QWidget(parent)
{
    mTable = new QTableWidget(0, static_cast<int>(columnTitles.size()));
    mTable->setObjectName("table");
    mTable->setHorizontalHeaderLabels(columnTitles);
    mTable->horizontalHeader()->setStretchLastSection(true);
    mTable->horizontalHeader()->setVisible(columnTitles.size() > 1);
    mTable->verticalHeader()->setVisible(false);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::SelectedClicked);
    connect(mTable, &QTableWidget::itemSelectionChanged, this, [this] { updateButtons(); });

    mAdd = makeButton("add", localized("Add"));
    mAdd->setText(QStringLiteral("+"));
    mRemove = makeButton("remove", localized("Remove"));
    mRemove->setText(QStringLiteral("\u2212"));
    mUp = makeButton("moveUp", localized("Move up"));
    mUp->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    mDown = makeButton("moveDown", localized("Move down"));
    mDown->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    connect(mAdd, &QToolButton::clicked, this, [this] { addAction(); });
    connect(mRemove, &QToolButton::clicked, this, [this] { withSelectedRow(&ListEditor::removeAction); });
    connect(mUp, &QToolButton::clicked, this, [this] { withSelectedRow(&ListEditor::moveUpAction); });
    connect(mDown, &QToolButton::clicked, this, [this] { withSelectedRow(&ListEditor::moveDownAction); });

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (QToolButton* button : {mAdd, mRemove, mUp, mDown})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(mTable);
    layout->addLayout(buttons);
    updateButtons();
}

QToolButton* ListEditor::makeButton(const char* name, const QString& toolTip)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setAutoRaise(false);
    return button;
}

std::optional<std::size_t> ListEditor::selectedRow() const
{
    const auto rows = mTable->selectionModel()->selectedRows();
    return rows.isEmpty() ? std::nullopt : std::optional<std::size_t>(rows.first().row());
}

void ListEditor::selectRow(std::optional<std::size_t> row)
{
    if (row && *row < static_cast<std::size_t>(mTable->rowCount()))
        mTable->selectRow(static_cast<int>(*row));
    else
        mTable->clearSelection();
    updateButtons();
}

void ListEditor::updateButtons()
{
    const auto row = selectedRow();
    const auto count = static_cast<std::size_t>(mTable->rowCount());
    mRemove->setEnabled(row.has_value());
    mUp->setEnabled(row && *row > 0);
    mDown->setEnabled(row && *row + 1 < count);
}

void ListEditor::withSelectedRow(void (ListEditor::*action)(std::size_t))
{
    if (const auto row = selectedRow())
        (this->*action)(*row);
}

} // namespace qm
