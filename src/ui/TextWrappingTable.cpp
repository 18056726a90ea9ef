#include "ui/TextWrappingTable.h"

#include <algorithm>

#include <QHeaderView>
#include <QResizeEvent>

namespace qm {

namespace {

// One line with ascender and descender: the height of an empty value.
const QString EmptyValueSample = QStringLiteral("Gy");
constexpr int MeasuringHeight = 10000;
// Space above and below a cell's text.
constexpr int RowPadding = 4;

} // namespace

TextWrappingTable::TextWrappingTable(QWidget* parent) : QTableView(parent)
{
    setWordWrap(true);
    setTextElideMode(Qt::ElideNone);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + RowPadding);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { noteHeightOfAllRowsChanged(); });
}

void TextWrappingTable::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    const auto allRows = [this] { noteHeightOfAllRowsChanged(); };
    connect(model, &QAbstractItemModel::modelReset, this, allRows);
    connect(model, &QAbstractItemModel::layoutChanged, this, allRows);
    connect(model, &QAbstractItemModel::rowsInserted, this, allRows);
    connect(model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& from, const QModelIndex& to) {
        QList<int> rows;
        for (int row = from.row(); row <= to.row(); ++row)
            rows.append(row);
        noteHeightOfRowsWithIndexesChanged(rows);
    });
}

// The text wrapped at the column's width (less the item view's text margins) and padded.
int TextWrappingTable::heightOfCell(int row, int column) const
{
    const int rowHeight = verticalHeader()->defaultSectionSize();
    if (!model())
        return rowHeight;
    QString text = model()->index(row, column).data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        text = EmptyValueSample;
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QFontMetrics metrics(font());
    const QRect bounds(0, 0, std::max(1, columnWidth(column) - 2 * textMargin), MeasuringHeight);
    const int textHeight = metrics.boundingRect(bounds, Qt::TextWordWrap | Qt::AlignLeft, text).height();
    const int height = textHeight + RowPadding;
    return height > 0 ? height : rowHeight;
}

int TextWrappingTable::heightOfRow(int row)
{
    if (const int cached = cachedHeightOfRow(row))
        return cached;
    int height = 0;
    for (int column = 0; model() && column < model()->columnCount(); ++column)
        height = std::max(height, heightOfCell(row, column));
    setCachedHeight(height, row);
    return height;
}

int TextWrappingTable::heightOfTable()
{
    int height = 0;
    for (int row = 0; model() && row < model()->rowCount(); ++row)
        height += heightOfRow(row);
    return height;
}

int TextWrappingTable::cachedHeightOfRow(int row) const
{
    const auto found = mCachedRowHeights.find(row);
    return found == mCachedRowHeights.end() ? 0 : found->second;
}

void TextWrappingTable::clearCachedHeightOfRows(const QList<int>& rows)
{
    for (const int row : rows)
        mCachedRowHeights.erase(row);
}

void TextWrappingTable::noteHeightOfRowsWithIndexesChanged(const QList<int>& rows)
{
    clearCachedHeightOfRows(rows);
    for (const int row : rows)
        if (model() && row < model()->rowCount())
            setRowHeight(row, heightOfRow(row));
}

void TextWrappingTable::noteHeightOfAllRowsChanged()
{
    mCachedRowHeights.clear();
    QList<int> rows;
    for (int row = 0; model() && row < model()->rowCount(); ++row)
        rows.append(row);
    noteHeightOfRowsWithIndexesChanged(rows);
}

void TextWrappingTable::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        noteHeightOfAllRowsChanged();
}

} // namespace qm
