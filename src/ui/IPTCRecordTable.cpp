#include "ui/IPTCRecordTable.h"

#include <algorithm>

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace qm {

namespace {

constexpr int MinimumColumnWidth = 24;

// Cells drawn in black on their row's colour, selected rows in the selection colour.
class RecordCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const int row = index.row();
        const bool selected = option->state & QStyle::State_Selected;
        option->backgroundBrush = selected                ? IPTCRecordTable::selectionColor(row)
                                  : row % 2 == 0 ? QColor(Qt::white)
                                                 : IPTCRecordTable::alternateBackgroundColor();
        option->state &= ~QStyle::State_Selected;
        option->state &= ~QStyle::State_HasFocus;
        option->palette.setColor(QPalette::Text, Qt::black);
    }
};

} // namespace

IPTCRecordTable::IPTCRecordTable(QWidget* parent) : TextWrappingTable(parent)
{
    setItemDelegate(new RecordCellDelegate(this));
    horizontalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(MinimumColumnWidth);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setShowGrid(true);
    setStyleSheet(QStringLiteral("QTableView { background: white; gridline-color: %1; }")
                      .arg(QColor::fromRgbF(0.85f, 0.85f, 0.85f).name()));
    viewport()->setMouseTracking(true);
}

QColor IPTCRecordTable::alternateBackgroundColor()
{
    return QColor::fromRgbF(0.95f, 0.95f, 0.95f);
}

// Even rows a light blue; odd rows the alternate colour shaded by 0.075.
QColor IPTCRecordTable::selectionColor(int row)
{
    if (row % 2 == 0)
        return QColor::fromRgbF(0.95f, 0.95f, 1.0f);
    const float shaded = static_cast<float>(alternateBackgroundColor().redF() * (1.0 - 0.075));
    return QColor::fromRgbF(shaded, shaded, shaded);
}

QRect IPTCRecordTable::trackingRectForColumnResize() const
{
    const int dividerX = columnViewportPosition(0) + columnWidth(0);
    return QRect(dividerX - DividerHalfWidth, 0, 2 * DividerHalfWidth, viewport()->height());
}

void IPTCRecordTable::adjustWidthOfLastColumn()
{
    setColumnWidth(1, std::max(MinimumColumnWidth, viewport()->width() - columnWidth(0)));
}

void IPTCRecordTable::updateGeometries()
{
    adjustWidthOfLastColumn();
    TextWrappingTable::updateGeometries();
}

void IPTCRecordTable::startDrag(Qt::DropActions supportedActions)
{
    TextWrappingTable::startDrag(supportedActions);
    if (mDragEnded)
        mDragEnded();
}

void IPTCRecordTable::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && trackingRectForColumnResize().contains(event->position().toPoint())) {
        mIsDraggingColumnDivider = true;
        mInitialDragColumnDividerMouseX = event->globalPosition().x();
        mInitialDragColumnWidth = columnWidth(0);
        return;
    }
    TextWrappingTable::mousePressEvent(event);
}

void IPTCRecordTable::mouseMoveEvent(QMouseEvent* event)
{
    if (!mIsDraggingColumnDivider) {
        updateResizeCursor(event->position().toPoint());
        TextWrappingTable::mouseMoveEvent(event);
        return;
    }
    const int moved = static_cast<int>(event->globalPosition().x() - mInitialDragColumnDividerMouseX);
    const int widest = viewport()->width() - MinimumColumnWidth;
    setColumnWidth(0, std::clamp(mInitialDragColumnWidth + moved, MinimumColumnWidth, std::max(MinimumColumnWidth, widest)));
    adjustWidthOfLastColumn();
}

void IPTCRecordTable::mouseReleaseEvent(QMouseEvent* event)
{
    if (mIsDraggingColumnDivider) {
        mIsDraggingColumnDivider = false;
        if (mDividerMoved)
            mDividerMoved();
    }
    TextWrappingTable::mouseReleaseEvent(event);
}

void IPTCRecordTable::updateResizeCursor(const QPoint& position)
{
    if (trackingRectForColumnResize().contains(position))
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
}

} // namespace qm
