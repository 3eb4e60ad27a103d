#include "filelist/FolderContents.h"

#include "base/EventPump.h"
#include "filelist/FileList.h"
#include "filelist/FolderWalk.h"
#include "filelist/ScannedFiles.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;
using quorvane::testing::WriteFile;

namespace {

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
        GetSubDirectories2016(folders_, true, dialogs_, pump_, &contents_);
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
