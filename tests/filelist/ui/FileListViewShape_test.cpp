#include "FileListViewHarness.h"

#include <QHeaderView>

namespace quorvane::testing {
namespace {

TEST_F(FileListViewTest, ToolTipInvitesDropsExactly)
{
    EXPECT_EQ(view.toolTip(),
              QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | line "
                             "to right and out of window to reveal full names."));
}

TEST_F(FileListViewTest, RepeatedLoadsKeepOneTextFilesColumn)
{
    view.addTextFilesColumn();
    view.addTextFilesColumn();
    EXPECT_EQ(view.columnCount(), 1);
    EXPECT_EQ(view.headerItem()->text(0), QStringLiteral("Text Files"));
    EXPECT_EQ(view.columnWidth(0), 333);
}

TEST_F(FileListViewTest, RowsHoldPathsExactlyInOrderWithDuplicates)
{
    const QStringList paths = {"/data/a.txt", "/data/a.txt", "relative name.csv", "/data/ü/b"};
    fill(paths);
    EXPECT_EQ(view.count(), 4);
    EXPECT_EQ(texts(), paths);
    EXPECT_EQ(view.path(0), QString());
    EXPECT_EQ(view.path(5), QString());
    EXPECT_EQ(item(1)->childCount(), 0);
}

TEST_F(FileListViewTest, ListLooksAsDesigned)
{
    EXPECT_FALSE(view.rootIsDecorated());
    EXPECT_TRUE(view.font().bold());
    EXPECT_EQ(view.font().pointSizeF(), 9.0);
    EXPECT_EQ(view.font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(view.dragEnabled());
}

}  // namespace
}  // namespace quorvane::testing
