#pragma once

#include <map>

#include <QTableView>

namespace qm {

// A table whose rows grow to show their whole wrapped text. Each row's height is computed once
// for its content and the columns' widths, kept, and computed again when either changes.
class TextWrappingTable : public QTableView {
public:
    explicit TextWrappingTable(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    int heightOfRow(int row);
    int heightOfCell(int row, int column) const;
    // The height that shows every row: the panel's natural height builds on it.
    int heightOfTable();

    int cachedHeightOfRow(int row) const; // 0: not computed yet
    void setCachedHeight(int height, int row) { mCachedRowHeights[row] = height; }
    void clearCachedHeightOfRows(const QList<int>& rows);
    // Forgets the rows' heights and lays them out again.
    void noteHeightOfRowsWithIndexesChanged(const QList<int>& rows);
    void noteHeightOfAllRowsChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::map<int, int> mCachedRowHeights;
};

} // namespace qm
