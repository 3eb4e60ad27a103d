#include "FileListViewHarness.h"

namespace quorvane::testing {
namespace {

// Where the drag ends: on the top visible row, whose row above is hidden,
// or on the last fully visible row, whose row below is hidden.
enum class Edge { Top, Bottom };

struct ScrollCase {
    Edge edge;
    int screenY;
    int expectedScrollChange;  // in rows: -1 up, +1 down, 0 none
};

class FileListDragScrollTest : public FileListViewTest,
                               public ::testing::WithParamInterface<ScrollCase> {
protected:
    void SetUp() override
    {
        FileListViewTest::SetUp();
        fill(40);
        view.setScreenPointerSource([this] { return QPoint(200, screenY); });
        view.scrollToItem(item(11), QAbstractItemView::PositionAtTop);
        ASSERT_EQ(scrollValue(), 10);
    }

    int lastFullyVisibleRow() const
    {
        int row = 11;
        while (row < view.count()
               && view.visualItemRect(item(row + 1)).bottom() < view.viewport()->height())
            ++row;
        return row;
    }

    int screenY = 0;
};

TEST_P(FileListDragScrollTest, PointerScreenRowDecidesWhichNeighbourComesIntoView)
{
    const ScrollCase c = GetParam();
    screenY = c.screenY;
    const int target = c.edge == Edge::Top ? 11 : lastFullyVisibleRow();
    const int from = c.edge == Edge::Top ? target + 1 : target - 1;
    ASSERT_LT(target, view.count());

    press(from);
    moveTo(target);
    release(Qt::LeftButton, rowCenter(target));

    ASSERT_EQ(view.path(target), QStringLiteral("/data/file%1.txt").arg(from));
    const int change = scrollValue() - 10;
    EXPECT_EQ((change > 0) - (change < 0), c.expectedScrollChange) << "scrolled by " << change;
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, FileListDragScrollTest,
    ::testing::Values(ScrollCase{Edge::Top, 304, -1}, ScrollCase{Edge::Top, 305, 0},
                      ScrollCase{Edge::Top, 0, -1}, ScrollCase{Edge::Top, 364, 0},
                      ScrollCase{Edge::Bottom, 364, 0}, ScrollCase{Edge::Bottom, 365, +1},
                      ScrollCase{Edge::Bottom, 305, 0}, ScrollCase{Edge::Bottom, 2000, +1}));

TEST_F(FileListViewTest, DragWithoutExchangeScrollsNothing)
{
    fill(QStringList(40, QStringLiteral("/data/same.txt")));
    view.setScreenPointerSource([] { return QPoint(0, 10); });
    view.scrollToItem(item(11), QAbstractItemView::PositionAtTop);
    press(12);
    moveTo(11);
    release(Qt::LeftButton, rowCenter(11));
    EXPECT_EQ(scrollValue(), 10);
}

}  // namespace
}  // namespace quorvane::testing
