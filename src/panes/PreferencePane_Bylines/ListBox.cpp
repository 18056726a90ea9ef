#include "ListBox.h"

#include <map>
#include <string>

#include <QHBoxLayout>
#include <QListWidget>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/Localized.h"

namespace qm {

ListBox::ListBox(const QString& title, Actions actions) : QGroupBox(title), mActions(std::move(actions))
{
    mList = new QListWidget;
    mList->setSelectionMode(QAbstractItemView::SingleSelection);
    mList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    mButtons = new QHBoxLayout;
    mButtons->setSpacing(2);
    addButton("add", localized("Add"), mActions.add);
    addButton("remove", localized("Remove"), mActions.remove);
    addButton("moveUp", localized("Move up"), mActions.moveUp);
    addButton("moveDown", localized("Move down"), mActions.moveDown);
    addButton("duplicate", localized("Duplicate"), mActions.duplicate);
    mButtons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mList, 1);
    layout->addLayout(mButtons);
    connect(mList, &QListWidget::currentRowChanged, this, [this] {
        updateButtons();
        if (mActions.select)
            mActions.select(selection());
    });
    connect(mList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (mActions.rename)
            mActions.rename(static_cast<std::size_t>(mList->row(item)), item->text());
    });
    updateButtons();
}

QToolButton* ListBox::addButton(const char* name, const QString& toolTip, std::function<void()> action)
{
    static const std::map<std::string, QString> symbols{
        {"add", "+"}, {"remove", "−"}, {"moveUp", "▲"}, {"moveDown", "▼"}};
    auto* button = new QToolButton;
    button->setObjectName(name);
    const auto symbol = symbols.find(name);
    button->setText(symbol == symbols.end() ? toolTip : symbol->second);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setMinimumWidth(28);
    connect(button, &QToolButton::clicked, this, [action] {
        if (action)
            action();
    });
    mButtons->addWidget(button);
    return button;
}

QToolButton& ListBox::button(const char* name)
{
    return *findChild<QToolButton*>(name);
}

void ListBox::setItems(const QStringList& names, std::optional<std::size_t> selection)
{
    const QSignalBlocker blocker(mList);
    mList->clear();
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, mList);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    mList->setCurrentRow(selection && *selection < static_cast<std::size_t>(names.size()) ? static_cast<int>(*selection)
                                                                                          : -1);
    updateButtons();
}

std::optional<std::size_t> ListBox::selection() const
{
    const int row = mList->currentRow();
    return row < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(row));
}

void ListBox::updateButtons()
{
    const int row = mList->currentRow();
    button("remove").setEnabled(row >= 0);
    button("duplicate").setEnabled(row >= 0);
    button("moveUp").setEnabled(row > 0);
    button("moveDown").setEnabled(row >= 0 && row + 1 < mList->count());
}

} // namespace qm
