#include "FileListViewHarness.h"

#include "base/Paths.h"

#include <QFile>
#include <QSignalSpy>

namespace quorvane::testing {
namespace {

const QStringList kSixRows = {"/d/1.txt", "/d/2.txt", "/d/3.txt", "/d/4.txt", "/d/5.txt", "/d/6.txt"};

class FileListRowDragTest : public FileListViewTest {};

TEST_F(FileListRowDragTest, SteadyDragCarriesRowTwoDownToFiveAndRowsBetweenMoveUp)
{
    fill(kSixRows);
    dragAcross(2, 5);
    EXPECT_EQ(texts(), QStringList({"/d/1.txt", "/d/3.txt", "/d/4.txt", "/d/5.txt", "/d/2.txt",
                                    "/d/6.txt"}));
    EXPECT_EQ(selectedRow(), 5);
}

TEST_F(FileListRowDragTest, FastMoveSkippingRowsExchangesOnlyTheTwoRows)
{
    fill(kSixRows);
    press(2);
    moveTo(5);
    release(Qt::LeftButton, rowCenter(5));
    EXPECT_EQ(texts(), QStringList({"/d/1.txt", "/d/5.txt", "/d/3.txt", "/d/4.txt", "/d/2.txt",
                                    "/d/6.txt"}));
}

TEST_F(FileListRowDragTest, DuplicateTextIsNotSwappedAndTheDragStaysOnItsRow)
{
    fill(QStringList{"/d/same.txt", "/d/b.txt", "/d/same.txt", "/d/c.txt"});
    press(1);
    moveTo(3);
    EXPECT_EQ(texts(), QStringList({"/d/same.txt", "/d/b.txt", "/d/same.txt", "/d/c.txt"}));
    EXPECT_EQ(selectedRow(), 1);
    // Still dragging row 1: reaching row 4 exchanges rows 1 and 4, not 3 and 4.
    moveTo(4);
    release(Qt::LeftButton, rowCenter(4));
    EXPECT_EQ(texts(), QStringList({"/d/c.txt", "/d/b.txt", "/d/same.txt", "/d/same.txt"}));
}

class FileListDragButtonTest : public FileListViewTest,
                               public ::testing::WithParamInterface<Qt::MouseButton> {};

TEST_P(FileListDragButtonTest, AnyButtonDragsRows)
{
    fill(kSixRows);
    dragAcross(2, 5, GetParam());
    EXPECT_EQ(texts(), QStringList({"/d/1.txt", "/d/3.txt", "/d/4.txt", "/d/5.txt", "/d/2.txt",
                                    "/d/6.txt"}));
}

INSTANTIATE_TEST_SUITE_P(Buttons, FileListDragButtonTest,
                         ::testing::Values(Qt::LeftButton, Qt::RightButton, Qt::MiddleButton));

TEST_F(FileListRowDragTest, DraggingWorksWhileTheWindowIsBusy)
{
    fill(kSixRows);
    busy.setBusy(true);
    dragAcross(2, 4);
    EXPECT_EQ(texts(), QStringList({"/d/1.txt", "/d/3.txt", "/d/4.txt", "/d/2.txt", "/d/5.txt",
                                    "/d/6.txt"}));
}

TEST_F(FileListRowDragTest, PressOnEmptySpaceAfterADragThenMoveOverRowsMovesNothing)
{
    fill(kSixRows);
    dragAcross(2, 3);
    const QStringList afterDrag = texts();
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, emptySpace());
    moveTo(5);
    moveTo(4);
    moveTo(1);
    release(Qt::LeftButton, rowCenter(1));
    EXPECT_EQ(texts(), afterDrag);
}

TEST_F(FileListRowDragTest, DragOfARowRemovedMeanwhileDoesNothing)
{
    fill(kSixRows);
    press(2);
    QTest::keyClick(&view, Qt::Key_Delete);
    ASSERT_EQ(view.count(), 5);
    moveTo(4);
    moveTo(1);
    release(Qt::LeftButton, rowCenter(1));
    EXPECT_EQ(texts(), QStringList({"/d/1.txt", "/d/3.txt", "/d/4.txt", "/d/5.txt", "/d/6.txt"}));
}

TEST_F(FileListRowDragTest, MoveAsksForTheDefaultWindowPointerOnlyWhenNotBusy)
{
    fill(kSixRows);
    QSignalSpy toDefault(&view, &FileListView::pointerToDefault);
    moveTo(2);
    EXPECT_EQ(toDefault.count(), 1);
    busy.setBusy(true);
    moveTo(3);
    EXPECT_EQ(toDefault.count(), 1);
}

TEST_F(FileListRowDragTest, PressOnRowShowsClosedHandWithoutIconFileAndReleaseShowsArrow)
{
    ASSERT_FALSE(QFile::exists(ProgramFile(kDragIconFile)));
    fill(kSixRows);
    press(2);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ClosedHandCursor);
    release(Qt::LeftButton, rowCenter(2));
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace quorvane::testing
