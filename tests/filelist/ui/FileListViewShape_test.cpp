#include "FileListViewHarness.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QStyle>

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
    EXPECT_EQ(view.columnWidth(0), view.viewport()->width());
}

// A path far wider than the list loses its middle, never its file name; the
// row's tooltip holds it whole. The column fills the list, follows it when
// a scroll bar comes, and stays wider where the user dragged it wider.
TEST_F(FileListViewTest, LongPathKeepsItsFileNameVisible)
{
    const QString name = QStringLiteral("orders-2026-12.csv");
    QString path = QStringLiteral("/home/user/exports/2026/");
    path += QString(200 - path.size() - name.size() - 1, QLatin1Char('d')) + QLatin1Char('/') + name;
    ASSERT_EQ(path.size(), 200);
    fill({path});

    EXPECT_EQ(view.columnWidth(0), view.viewport()->width());
    EXPECT_EQ(item(1)->data(0, Qt::ToolTipRole).toString(), path);
    // What the row's delegate draws in the column (less its text margins).
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    const QString shown = view.fontMetrics().elidedText(path, view.textElideMode(), view.columnWidth(0) - 2 * margin);
    EXPECT_TRUE(shown.endsWith(name)) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/home/"))) << shown.toStdString();

    fill(40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.verticalScrollBar()->isVisible(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.columnWidth(0), view.viewport()->width());
    EXPECT_FALSE(view.horizontalScrollBar()->isVisible());

    view.setColumnWidth(0, 2000);
    view.resize(view.width(), view.height() + 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.columnWidth(0), 2000);
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
