#include "filelist/FileListCommands.h"

#include "base/EventPump.h"
#include "base/Failure.h"
#include "filelist/FileList.h"

#include "ScriptedDialogs.h"
#include "TestBasics.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;
using quorvane::testing::WriteFile;

namespace {

class DropCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"one/a.txt", "one/~skip.txt", "one/.hidden", "one/deep/b.csv", "two/c",
                                 "two/sub/d.txt", "loose.txt", "~tilde.txt", ".dotted"})
            WriteFile(at(name), "x");
    }
    QString at(const char* relative) const { return root_ + "/" + QString::fromUtf8(relative); }
    QStringList at(std::initializer_list<const char*> relative) const
    {
        QStringList paths;
        for (const char* r : relative)
            paths << at(r);
        return paths;
    }
    void drop(const QStringList& paths) { AddDroppedPaths(paths, list_, dialogs_, pump_); }

    QTemporaryDir dir_;
    QString root_ = dir_.path();
    ScriptedDialogs dialogs_;  // a drop asks nothing and says nothing
    NoEventPump pump_;
    PlainFileList list_;
};

TEST_F(DropCommand, TwoFoldersAreEachListedOnce)
{
    drop(at({"one", "two"}));
    EXPECT_EQ(list_.paths(), at({"one/a.txt", "one/deep/b.csv", "two/c", "two/sub/d.txt"}));
}

TEST_F(DropCommand, FolderDroppedTwiceIsListedTwice)
{
    drop(at({"two", "two"}));
    EXPECT_EQ(list_.paths(), at({"two/c", "two/sub/d.txt", "two/c", "two/sub/d.txt"}));
}

TEST_F(DropCommand, FilesAreTakenExactlyAsDroppedWithoutTheScanFilter)
{
    const QStringList dropped{root_ + "//loose.txt", at("~tilde.txt"), at(".dotted")};
    drop(dropped);
    EXPECT_EQ(list_.paths(), dropped);
}

TEST_F(DropCommand, FilesAndAFolderTogetherKeepTheirOrder)
{
    drop(at({"loose.txt", "two", "~tilde.txt"}));
    EXPECT_EQ(list_.paths(), at({"loose.txt", "two/c", "two/sub/d.txt", "~tilde.txt"}));
}

TEST_F(DropCommand, VanishedPathIsPassedOverSilently)
{
    drop(at({"gone.txt", "gone", "loose.txt"}));
    EXPECT_EQ(list_.paths(), at({"loose.txt"}));
}

TEST_F(DropCommand, FolderGivenWithTrailingSeparatorGivesSingleSeparators)
{
    drop({at("two") + "/"});
    EXPECT_EQ(list_.paths(), at({"two/c", "two/sub/d.txt"}));
}

TEST_F(DropCommand, LinkToAFolderIsScannedAsTheFolder)
{
    ASSERT_TRUE(QFile::link(at("two"), at("twolink")));
    drop(at({"twolink"}));
    EXPECT_EQ(list_.paths(), at({"twolink/c", "twolink/sub/d.txt"}));
}

TEST_F(DropCommand, PathTheListRefusesIsPassedOverAndTheRestFollow)
{
    class RefusingFileList : public FileList {
    public:
        int count() const override { return static_cast<int>(rows.size()); }
        QString path(int row) const override { return rows.value(row - 1); }
        void append(const QString& path) override
        {
            if (path.endsWith(QLatin1String("~tilde.txt")))
                throw Failure(QStringLiteral("row refused"));
            rows.append(path);
        }
        QStringList rows;
    } list;
    AddDroppedPaths(at({"~tilde.txt", "loose.txt"}), list, dialogs_, pump_);
    EXPECT_EQ(list.rows, at({"loose.txt"}));
}

QMimeData* WithUrls(const QList<QUrl>& urls)
{
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

TEST(DropData, TextDragIsRefused)
{
    QMimeData data;
    data.setText(QStringLiteral("/tmp/a.txt"));
    EXPECT_FALSE(CarriesFiles(data));
    EXPECT_TRUE(DroppedPaths(data).isEmpty());
}

TEST(DropData, WebLinksAreRefused)
{
    std::unique_ptr<QMimeData> data(WithUrls({QUrl(QStringLiteral("https://example.org/a.txt"))}));
    EXPECT_FALSE(CarriesFiles(*data));
}

TEST(DropData, FileDragIsAcceptedAndItsPathsComeInOrder)
{
    std::unique_ptr<QMimeData> data(WithUrls({QUrl::fromLocalFile(QStringLiteral("/d/b.txt")),
                                              QUrl(QStringLiteral("https://example.org/x")),
                                              QUrl::fromLocalFile(QString::fromUtf8("/d/\xC3\xA4 a.txt"))}));
    EXPECT_TRUE(CarriesFiles(*data));
    EXPECT_EQ(DroppedPaths(*data), (QStringList{"/d/b.txt", QString::fromUtf8("/d/\xC3\xA4 a.txt")}));
}

}  // namespace
