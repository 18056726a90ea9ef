#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStandardItemModel>

#include "WidgetFixture.h"
#include "ui/IPTCRecordTable.h"

namespace qm::test {
namespace {

// The Qt application exists before the fixture's widgets.
struct WithApplication {
    WithApplication() { widgetApplication(); }
};

class IPTCRecordTableTest : public ::testing::Test, private WithApplication {
protected:
    void SetUp() override
    {
        for (const char* value : {"", "short", "a long caption that wraps over several lines when the column is narrow"})
            mModel.appendRow({new QStandardItem("Label"), new QStandardItem(value)});
        mTable.setModel(&mModel);
        mTable.setColumnWidth(0, 80);
        mTable.resize(240, 400);
        mTable.show();
    }

    QStandardItemModel mModel;
    IPTCRecordTable mTable;
};

TEST_F(IPTCRecordTableTest, RowsAreAsHighAsTheirWrappedTextAndFollowTheWidth)
{
    const int oneLine = mTable.heightOfRow(1);
    EXPECT_EQ(mTable.heightOfRow(0), oneLine) << "an empty value is one line high, not 0";
    EXPECT_GE(oneLine, QFontMetrics(mTable.font()).height());
    const int narrow = mTable.heightOfRow(2);
    EXPECT_GE(narrow, 3 * QFontMetrics(mTable.font()).height()) << "the long value wraps";
    EXPECT_EQ(mTable.rowHeight(2), narrow);
    EXPECT_EQ(mTable.heightOfTable(), 2 * oneLine + narrow);

    mTable.resize(1200, 400);
    EXPECT_EQ(mTable.columnWidth(1), mTable.viewport()->width() - mTable.columnWidth(0))
        << "the value column takes the width left";
    EXPECT_LT(mTable.heightOfRow(2), narrow) << "widening lays the rows out again";
    EXPECT_EQ(mTable.rowHeight(2), mTable.heightOfRow(2));
}

TEST_F(IPTCRecordTableTest, DraggingTheDividerWidensTheNameColumn)
{
    const QRect strip = mTable.trackingRectForColumnResize();
    EXPECT_EQ(strip.left(), mTable.columnWidth(0) - IPTCRecordTable::DividerHalfWidth);
    EXPECT_EQ(strip.height(), mTable.viewport()->height());
    int dividerMoves = 0;
    mTable.setDividerMovedHandler([&] { ++dividerMoves; });
    const auto send = [&](QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, mTable.viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(mTable.viewport(), &event);
    };
    const QPoint start(strip.center().x(), 10);
    send(QEvent::MouseButtonPress, start);
    send(QEvent::MouseMove, start + QPoint(40, 0));
    send(QEvent::MouseButtonRelease, start + QPoint(40, 0));
    EXPECT_EQ(mTable.columnWidth(0), 120);
    EXPECT_EQ(mTable.columnWidth(1), mTable.viewport()->width() - 120);
    EXPECT_EQ(dividerMoves, 1);
}

} // namespace
} // namespace qm::test
