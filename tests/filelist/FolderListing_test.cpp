#include "filelist/FolderListing.h"

#include "base/EventPump.h"
#include "filelist/FileList.h"
#include "filelist/FolderWalk.h"

#include "ScriptedDialogs.h"
#include "TestBasics.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;
using quorvane::testing::WriteFile;

namespace {

class ListFilesInFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = dir_.path();
        for (const char* name : {"b.txt", "A.TXT", "c.csv", ".hidden.txt", "noext", "~lock.txt"})
            WriteFile(root_ + "/" + name, "x");
        QDir(root_).mkpath("folder.txt");
        QFile::link(root_ + "/c.csv", root_ + "/link.txt");
        QFile::link(root_ + "/folder.txt", root_ + "/folderlink.txt");
        QFile::link(root_ + "/gone", root_ + "/dangling.txt");
    }

    QTemporaryDir dir_;
    QString root_;
};

TEST_F(ListFilesInFolder, TakesMatchingFilesHiddenIncludedFoldersExcludedSorted)
{
    EXPECT_EQ(ListFiles(root_, "*.txt"),
              (QStringList{".hidden.txt", "A.TXT", "b.txt", "link.txt", "~lock.txt"}));
}

TEST_F(ListFilesInFolder, StarDotStarTakesEveryFile)
{
    EXPECT_EQ(ListFiles(root_, "*.*"),
              (QStringList{".hidden.txt", "A.TXT", "b.txt", "c.csv", "link.txt", "noext", "~lock.txt"}));
}

TEST_F(ListFilesInFolder, TrailingSeparatorMakesNoDifference)
{
    EXPECT_EQ(ListFiles(root_ + "/", "*.csv"), QStringList{"c.csv"});
}

TEST_F(ListFilesInFolder, NoMatchGivesNothing)
{
    EXPECT_TRUE(ListFiles(root_, "*.doc").isEmpty());
}

TEST_F(ListFilesInFolder, MissingFolderGivesNothing)
{
    EXPECT_TRUE(ListFiles(root_ + "/missing", "*").isEmpty());
}

TEST_F(ListFilesInFolder, NameThatIsNotUtf8IsNotTaken)
{
    const QByteArray raw = QFile::encodeName(root_) + "/bad\xFF.txt";
    FILE* f = ::fopen(raw.constData(), "w");
    ASSERT_NE(f, nullptr);
    ::fclose(f);
    EXPECT_FALSE(ListFiles(root_, "*.txt").join('|').contains("bad"));
    ::unlink(raw.constData());  // Qt can't name it to clean up
}

// Folders of a real tree are seldom changed within the clock tick of a
// scan; dating them back makes a later change show as one.
void DateBack(const QString& folder, time_t when = 1600000000)
{
    const struct timespec past[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), past, 0), 0);
}

class FolderContentsOfAWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"top.txt", "sub/a.txt", "sub/b.txt", "sub/inner/c.txt"})
            WriteFile(root_ + "/" + name, "x");
        for (const char* folder : {"", "/sub", "/sub/inner"})
            DateBack(root_ + folder);
        folders_ = {root_ + "/"};
        ExtendWithSubfolders(folders_, true, dialogs_, pump_, &contents_);
    }
    QStringList listed()
    {
        PlainFileList list;
        AppendFilesOfFolders(folders_, "*.txt", list, pump_, nullptr, &contents_);
        QStringList relative;
        for (const QString& path : list.paths())
            relative << path.mid(root_.size() + 1);
        return relative;
    }

    QTemporaryDir dir_;
    QString root_ = dir_.path();
    ScriptedDialogs dialogs_;
    NoEventPump pump_;
    FolderContents contents_;
    FolderList folders_;
};

TEST_F(FolderContentsOfAWalk, KeepsWhatTheWalkReadOfEachSubfolder)
{
    const auto snapshot = contents_.take(root_ + "/sub/");
    ASSERT_TRUE(snapshot.has_value());
    QStringList names;
    for (const DirectoryEntry& entry : snapshot->entries)
        names << entry.name;
    names.sort();
    EXPECT_EQ(names, (QStringList{"a.txt", "b.txt"}));
    EXPECT_TRUE(snapshot->mayEnter);
    EXPECT_FALSE(contents_.take(root_ + "/sub/").has_value()) << "handed over once";
}

TEST_F(FolderContentsOfAWalk, UnchangedTreeListsAsAFreshRead)
{
    EXPECT_EQ(listed(), (QStringList{"top.txt", "sub/a.txt", "sub/b.txt", "sub/inner/c.txt"}));
}

TEST_F(FolderContentsOfAWalk, FolderChangedAfterTheWalkIsReadAgain)
{
    WriteFile(root_ + "/sub/new.txt", "x");
    ASSERT_TRUE(QFile::remove(root_ + "/sub/inner/c.txt"));
    EXPECT_EQ(listed(), (QStringList{"top.txt", "sub/a.txt", "sub/b.txt", "sub/new.txt"}));
}

TEST_F(FolderContentsOfAWalk, FolderReplacedUnderItsNameIsReadAgain)
{
    ASSERT_TRUE(QDir(root_ + "/sub").removeRecursively());
    WriteFile(root_ + "/sub/other.txt", "x");
    DateBack(root_ + "/sub", 1500000000);  // it may even get the old inode number
    EXPECT_EQ(listed(), (QStringList{"top.txt", "sub/other.txt"}));
}

}  // namespace
