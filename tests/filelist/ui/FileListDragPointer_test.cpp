#include "filelist/ui/FileListView.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace quorvane::testing {
namespace {

TEST(DragPointerTest, ReadableIconBecomesThePointerImage)
{
    QTemporaryDir dir;
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    const QString path = dir.filePath(QStringLiteral("drag.ico"));
    ASSERT_TRUE(image.save(path, "ICO"));

    const QCursor pointer = LoadDragPointer(path);
    EXPECT_EQ(pointer.shape(), Qt::BitmapCursor);
    EXPECT_EQ(pointer.pixmap().size(), QSize(32, 32));
}

struct BadIcon {
    const char* name;
    std::function<void(const QString& path)> make;  // nothing made: the file is missing
};

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class DragPointerFallbackTest : public ::testing::TestWithParam<BadIcon> {};

TEST_P(DragPointerFallbackTest, GivesClosedHand)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("drag.ico"));
    GetParam().make(path);
    EXPECT_EQ(LoadDragPointer(path).shape(), Qt::ClosedHandCursor);
}

INSTANTIATE_TEST_SUITE_P(
    Unreadable, DragPointerFallbackTest,
    ::testing::Values(
        BadIcon{"Missing", [](const QString&) {}},
        BadIcon{"Empty", [](const QString& p) { WriteBytes(p, {}); }},
        BadIcon{"Text", [](const QString& p) { WriteBytes(p, "not an icon at all"); }},
        BadIcon{"TruncatedHeader", [](const QString& p) { WriteBytes(p, QByteArray("\0\0\1\0\1\0\x20\x20", 8)); }},
        BadIcon{"Folder", [](const QString& p) { QDir().mkdir(p); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane::testing
