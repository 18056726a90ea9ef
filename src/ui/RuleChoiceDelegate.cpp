#include "ui/RuleChoiceDelegate.h"

#include <QComboBox>

#include "ui/RuleTableModel.h"

namespace qm {

QWidget* RuleChoiceDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto choices = RuleTableModel::choicesOf(index.column());
    if (choices.empty())
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* box = new QComboBox(parent);
    for (const auto& choice : choices)
        box->addItem(choice.title, choice.value);
    box->setMaxVisibleItems(20);
    connect(box, &QComboBox::activated, this, [this, box] { emit const_cast<RuleChoiceDelegate*>(this)->commitData(box); });
    return box;
}

void RuleChoiceDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        box->setCurrentIndex(box->findData(index.data(Qt::EditRole)));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void RuleChoiceDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        if (box->currentIndex() >= 0)
            model->setData(index, box->currentData(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

} // namespace qm
