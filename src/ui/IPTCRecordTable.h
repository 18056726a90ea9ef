#pragma once

#include <functional>

#include <QColor>

#include "ui/TextWrappingTable.h"

namespace qm {

// The panel's record table: white and light grey rows, its own selection colours, rows dragged
// out as text, and a divider between the name and the value column that the mouse drags
// anywhere along the table.
class IPTCRecordTable : public TextWrappingTable {
public:
    // Half the width of the strip over the divider that starts a divider drag.
    static constexpr int DividerHalfWidth = 2;

    explicit IPTCRecordTable(QWidget* parent = nullptr);

    static QColor alternateBackgroundColor();
    static QColor selectionColor(int row);

    // Told when a drag of rows has ended, whatever its outcome.
    void setDragEndedHandler(std::function<void()> handler) { mDragEnded = std::move(handler); }
    // Told when a divider drag has ended.
    void setDividerMovedHandler(std::function<void()> handler) { mDividerMoved = std::move(handler); }

    // The strip over the divider, in the viewport's coordinates.
    QRect trackingRectForColumnResize() const;
    // The value column takes the width the name column leaves.
    void adjustWidthOfLastColumn();

protected:
    void updateGeometries() override;
    void startDrag(Qt::DropActions supportedActions) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateResizeCursor(const QPoint& position);

    std::function<void()> mDragEnded;
    std::function<void()> mDividerMoved;
    bool mIsDraggingColumnDivider = false;
    double mInitialDragColumnDividerMouseX = 0;
    int mInitialDragColumnWidth = 0;
};

} // namespace qm
