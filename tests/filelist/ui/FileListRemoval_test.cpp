#include "FileListViewHarness.h"

namespace quorvane::testing {
namespace {

enum class Gesture { DeleteKey, DoubleClick };

class FileListRemovalTest : public FileListViewTest, public ::testing::WithParamInterface<Gesture> {
protected:
    // Double-clicks land on the given row, or on empty space without one.
    void remove(int onRow = 0)
    {
        if (GetParam() == Gesture::DeleteKey) {
            QTest::keyClick(&view, Qt::Key_Delete);
            return;
        }
        doubleClick(onRow > 0 ? rowCenter(onRow) : emptySpace());
    }
};

TEST_P(FileListRemovalTest, RemovesTheSelectedRowAndRowsBelowMoveUp)
{
    fill(4);
    view.setCurrentItem(item(2));
    remove(2);
    EXPECT_EQ(texts(), QStringList({"/data/file1.txt", "/data/file3.txt", "/data/file4.txt"}));
}

TEST_P(FileListRemovalTest, RefusedWhileTheWindowIsBusy)
{
    fill(4);
    view.setCurrentItem(item(2));
    busy.setBusy(true);
    remove(2);
    EXPECT_EQ(view.count(), 4);
    busy.setBusy(false);
    view.setCurrentItem(item(2));
    remove(2);
    EXPECT_EQ(view.count(), 3);
}

TEST_P(FileListRemovalTest, EmptyListStaysEmptyAndUsable)
{
    remove();
    EXPECT_EQ(view.count(), 0);
    view.append(QStringLiteral("/data/after.txt"));
    EXPECT_EQ(texts(), QStringList({"/data/after.txt"}));
}

TEST_P(FileListRemovalTest, RowsWithoutSelectionRemoveNothing)
{
    fill(3);
    view.setCurrentItem(item(3));
    view.clearSelection();
    remove();
    EXPECT_EQ(view.count(), 3);
}

INSTANTIATE_TEST_SUITE_P(Gestures, FileListRemovalTest,
                         ::testing::Values(Gesture::DeleteKey, Gesture::DoubleClick));

TEST_F(FileListViewTest, DoubleClickRemovesTheRowItLandsOn)
{
    fill(4);
    view.setCurrentItem(item(1));
    doubleClick(rowCenter(3));
    EXPECT_EQ(texts(), QStringList({"/data/file1.txt", "/data/file2.txt", "/data/file4.txt"}));
}

TEST_F(FileListViewTest, DoubleClickOnEmptySpaceRemovesTheSelectedRow)
{
    fill(3);
    view.setCurrentItem(item(2));
    doubleClick(emptySpace());
    EXPECT_EQ(texts(), QStringList({"/data/file1.txt", "/data/file3.txt"}));
}

class FileListOtherKeyTest : public FileListViewTest, public ::testing::WithParamInterface<Qt::Key> {};

// Qt::Key_Period has the number 46, the Delete key's number elsewhere.
TEST_P(FileListOtherKeyTest, NeverRemoves)
{
    fill(3);
    view.setCurrentItem(item(2));
    QTest::keyClick(&view, GetParam());
    EXPECT_EQ(view.count(), 3);
}

INSTANTIATE_TEST_SUITE_P(Keys, FileListOtherKeyTest,
                         ::testing::Values(Qt::Key_Period, Qt::Key_Backspace, Qt::Key_Insert,
                                           Qt::Key_Space, Qt::Key_Return, Qt::Key_D));

}  // namespace
}  // namespace quorvane::testing

