#include "FileListViewHarness.h"

#include <QApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

#include <memory>

namespace quorvane::testing {
namespace {

std::unique_ptr<QMimeData> FileUrls(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

class FileListDropTest : public FileListViewTest {
protected:
    bool dragEnterAccepted(const QMimeData& data)
    {
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &enter);
        return enter.isAccepted() && enter.dropAction() != Qt::IgnoreAction;
    }

    bool dragMoveAccepted(const QMimeData& data)
    {
        QDragMoveEvent move(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        return move.isAccepted() && move.dropAction() != Qt::IgnoreAction;
    }

    // As a real drag does, the drop follows an entry into the list.
    bool drop(const QMimeData& data)
    {
        dragEnterAccepted(data);
        QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &dropped);
        return dropped.isAccepted();
    }
};

enum class Before { Nothing, ClickOnRow, RowDrag, RightClickOnRow };

class FileListDropAfterTest : public FileListDropTest, public ::testing::WithParamInterface<Before> {};

TEST_P(FileListDropAfterTest, FilesAreAcceptedAndDelivered)
{
    fill(4);
    switch (GetParam()) {
    case Before::Nothing:
        break;
    case Before::ClickOnRow:
        clickRow(2);
        break;
    case Before::RowDrag:
        dragAcross(1, 3);
        break;
    case Before::RightClickOnRow:
        press(2, Qt::RightButton);
        release(Qt::RightButton, rowCenter(2));
        break;
    }
    QSignalSpy dropped(&view, &FileListView::pathsDropped);
    const auto data = FileUrls({"/data/new1.txt", "/data/folder"});

    EXPECT_TRUE(view.acceptDrops());
    EXPECT_TRUE(view.viewport()->acceptDrops());
    EXPECT_TRUE(dragEnterAccepted(*data));
    EXPECT_TRUE(dragMoveAccepted(*data));
    EXPECT_TRUE(drop(*data));
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toStringList(), QStringList({"/data/new1.txt", "/data/folder"}));
}

INSTANTIATE_TEST_SUITE_P(History, FileListDropAfterTest,
                         ::testing::Values(Before::Nothing, Before::ClickOnRow, Before::RowDrag,
                                           Before::RightClickOnRow));

struct RefusedDrag {
    const char* name;
    std::function<void(QMimeData&)> fill;
};

class FileListRefusedDragTest : public FileListDropTest,
                                public ::testing::WithParamInterface<RefusedDrag> {};

TEST_P(FileListRefusedDragTest, IsRefusedAndDeliversNothing)
{
    QMimeData data;
    GetParam().fill(data);
    QSignalSpy dropped(&view, &FileListView::pathsDropped);
    EXPECT_FALSE(dragEnterAccepted(data));
    EXPECT_FALSE(dragMoveAccepted(data));
    EXPECT_FALSE(drop(data));
    EXPECT_EQ(dropped.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    WithoutFiles, FileListRefusedDragTest,
    ::testing::Values(
        RefusedDrag{"PlainText", [](QMimeData& d) { d.setText(QStringLiteral("/data/a.txt")); }},
        RefusedDrag{"WebAddress",
                    [](QMimeData& d) { d.setUrls({QUrl(QStringLiteral("https://example.com/a.txt"))}); }},
        RefusedDrag{"Html", [](QMimeData& d) { d.setHtml(QStringLiteral("<b>x</b>")); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane::testing
