#include "filelist/ui/DragPointer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvane::testing {
namespace {

class DragPointerTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(DragPointerTest, ReadableIconBecomesThePointerImage)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    const QString path = dir.filePath(QStringLiteral("drag.ico"));
    ASSERT_TRUE(image.save(path, "ICO"));

    const QCursor pointer = LoadDragPointer(path);
    EXPECT_EQ(pointer.shape(), Qt::BitmapCursor);
    EXPECT_EQ(pointer.pixmap().size(), QSize(32, 32));
}

TEST_F(DragPointerTest, MissingFileGivesClosedHand)
{
    EXPECT_EQ(LoadDragPointer(dir.filePath(QStringLiteral("drag.ico"))).shape(), Qt::ClosedHandCursor);
}

TEST_F(DragPointerTest, UnreadableContentGivesClosedHand)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray("not an icon at all"),
                                    QByteArray("\0\0\1\0\1\0\x20\x20", 8)}) {
        const QString path = write(QStringLiteral("drag.ico"), bytes);
        EXPECT_EQ(LoadDragPointer(path).shape(), Qt::ClosedHandCursor) << bytes.toHex().constData();
    }
}

TEST_F(DragPointerTest, FolderInPlaceOfTheFileGivesClosedHand)
{
    QDir(dir.path()).mkdir(QStringLiteral("drag.ico"));
    EXPECT_EQ(LoadDragPointer(dir.filePath(QStringLiteral("drag.ico"))).shape(), Qt::ClosedHandCursor);
}

}  // namespace
}  // namespace quorvane::testing
