#include "filelist/FolderWalk.h"

#include "base/EventPump.h"
#include "base/Failure.h"
#include "filelist/FileList.h"
#include "filelist/FileListCommands.h"

#include "ScriptedDialogs.h"
#include "TestBasics.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;
using quorvane::testing::WriteFile;

namespace {

class CountingPump : public EventPump {
public:
    void processEvents() override
    {
        ++calls;
        if (onCall)
            onCall(calls);
    }
    int calls = 0;
    std::function<void(int)> onCall;
};

class FolderWalk : public ::testing::Test {
protected:
    void makeFolders(std::initializer_list<const char*> relative)
    {
        for (const char* path : relative)
            ASSERT_TRUE(QDir(root_).mkpath(QString::fromUtf8(path))) << path;
    }
    void makeFiles(std::initializer_list<const char*> relative)
    {
        for (const char* path : relative)
            WriteFile(root_ + "/" + QString::fromUtf8(path), "x");
    }
    void link(const QString& target, const char* relative)
    {
        ASSERT_TRUE(QFile::link(target, root_ + "/" + relative)) << relative;
    }
    // Entries of the walk, each relative to the root and ending in "/".
    FolderList walk()
    {
        FolderList folders{root_ + "/"};
        ExtendWithSubfolders(folders, true, dialogs_, pump_);
        FolderList relative;
        for (const QString& folder : folders)
            relative << folder.mid(root_.size() + 1);
        return relative;
    }
    QStringList droppedFiles()
    {
        PlainFileList list;
        AddDroppedPaths({root_}, list, dialogs_, pump_);
        QStringList relative;
        for (const QString& path : list.paths())
            relative << path.mid(root_.size() + 1);
        return relative;
    }

    QTemporaryDir dir_;
    QString root_ = dir_.path();
    ScriptedDialogs dialogs_;  // no dialog is expected anywhere in a walk
    CountingPump pump_;
};

TEST_F(FolderWalk, ExampleTreeComesInLevelOrder)
{
    makeFolders({"A/A1/X", "A/A2", "B/B1"});
    EXPECT_EQ(walk(), (FolderList{"", "A/", "B/", "A/A1/", "A/A2/", "B/B1/", "A/A1/X/"}));
}

TEST_F(FolderWalk, HandsTheWindowItsEventsAtEachPoint)
{
    makeFolders({"A/A1/X", "A/A2", "B/B1"});
    walk();
    // 7 folders looked up, 6 subfolders listed, and each found folder kept
    // once per level above it: 6 + 4 + 1.
    EXPECT_EQ(pump_.calls, 7 + 6 + 11);
}

TEST_F(FolderWalk, WithoutRecursionOnlyTheFirstLevelIsAdded)
{
    makeFolders({"A/A1", "B"});
    FolderList folders{root_ + "/"};
    ExtendWithSubfolders(folders, false, dialogs_, pump_);
    EXPECT_EQ(folders, (FolderList{root_ + "/", root_ + "/A/", root_ + "/B/"}));
}

TEST_F(FolderWalk, SubfoldersComeInNameOrderWhateverTheirCase)
{
    makeFolders({"b", "C", "a", ".hidden", "B2"});
    EXPECT_EQ(walk(), (FolderList{"", ".hidden/", "a/", "b/", "B2/", "C/"}));
}

TEST_F(FolderWalk, EntryThatIsNotAFolderIsPassedOverAndKept)
{
    makeFiles({"file.txt"});
    FolderList folders{root_ + "/file.txt/", root_ + "/missing/"};
    ExtendWithSubfolders(folders, true, dialogs_, pump_);
    EXPECT_EQ(folders, (FolderList{root_ + "/file.txt/", root_ + "/missing/"}));
}

TEST_F(FolderWalk, FoldersWithBadNamesAreLeftOutWithAllBelowThem)
{
    for (const QString& name : {QStringLiteral("bad") + QChar(1), QStringLiteral("del") + QChar(127),
                                QStringLiteral("c1") + QChar(0x85), QStringLiteral("wh?t"),
                                QStringLiteral("tab\there")})
        WriteFile(root_ + "/" + name + "/below/f.txt", "x");
    makeFolders({"ok/below"});
    const QByteArray notUtf8 = QFile::encodeName(root_) + "/raw\xFF";
    ASSERT_EQ(::mkdir(notUtf8.constData(), 0755), 0);
    EXPECT_EQ(walk(), (FolderList{"", "ok/", "ok/below/"}));
    ::rmdir(notUtf8.constData());  // Qt can't name it to clean up
}

TEST_F(FolderWalk, NonAsciiFolderNamesAreScanned)
{
    makeFolders({"\xC3\x84pfel/\xC3\xBC" "ber", "\xE6\x97\xA5\xE6\x9C\xAC"});
    makeFiles({"\xC3\x84pfel/\xC3\xBC" "ber/f.txt", "\xE6\x97\xA5\xE6\x9C\xAC/g.txt"});
    EXPECT_EQ(walk(), (FolderList{"", QString::fromUtf8("\xC3\x84pfel/"),
                                  QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC/"),
                                  QString::fromUtf8("\xC3\x84pfel/\xC3\xBC" "ber/")}));
    EXPECT_EQ(droppedFiles(), (QStringList{QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC/g.txt"),
                                           QString::fromUtf8("\xC3\x84pfel/\xC3\xBC" "ber/f.txt")}));
}

TEST_F(FolderWalk, LinkCyclesEndAndEachFileIsListedOnce)
{
    QTemporaryDir outside;
    WriteFile(outside.path() + "/o.txt", "x");
    WriteFile(outside.path() + "/deeper/d.txt", "x");
    makeFiles({"x.txt", "a/y.txt", "b/z.txt"});
    link(root_, "a/up");
    link(root_ + "/a", "a/self");
    link(root_ + "/a", "b/loop");
    link(outside.path(), "out");
    link(outside.path(), "b/out2");

    EXPECT_EQ(walk(), (FolderList{"", "a/", "b/", "out/", "out/deeper/"}));
    EXPECT_EQ(droppedFiles(), (QStringList{"x.txt", "a/y.txt", "b/z.txt", "out/o.txt", "out/deeper/d.txt"}));
}

TEST_F(FolderWalk, TwoLinksToEachOtherEnd)
{
    makeFolders({"p", "q"});
    link(root_ + "/q", "p/toq");
    link(root_ + "/p", "q/top");
    link(root_ + "/p", "p/again");
    EXPECT_EQ(walk(), (FolderList{"", "p/", "q/"}));
}

TEST_F(FolderWalk, FolderVanishingDuringTheWalkIsLeftOutSilently)
{
    makeFiles({"a/a.txt", "b/b.txt", "b/inner/i.txt", "c/c.txt"});
    // Calls: looked up root, listed a, b, c; looked up a, then b (6th): b
    // goes between its look-up and its listing.
    pump_.onCall = [&](int call) {
        if (call == 6)
            QDir(root_ + "/b").removeRecursively();
    };
    EXPECT_EQ(walk(), (FolderList{"", "a/", "c/"}));
}

TEST_F(FolderWalk, ProgramEndingPassesThrough)
{
    makeFolders({"a/b"});
    pump_.onCall = [](int) { throw ProgramEnding{}; };
    FolderList folders{root_ + "/"};
    EXPECT_THROW(ExtendWithSubfolders(folders, true, dialogs_, pump_), ProgramEnding);
}

// Deep paths are made and removed relative to open folders, since their
// full paths are longer than the system takes.
void RemoveBelow(int folder)
{
    DIR* dir = ::fdopendir(::dup(folder));
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (entry->d_type == DT_DIR) {
            const int child = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
            RemoveBelow(child);
            ::close(child);
            ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
    ::closedir(dir);
}

TEST_F(FolderWalk, FoldersBeyondThePathLimitAreNotSearched)
{
    const std::string longName(200, 'n');
    int folder = ::open(QFile::encodeName(root_).constData(), O_RDONLY | O_DIRECTORY);
    QString path = root_;
    QStringList expectedFiles;
    for (int depth = 0; depth < 24; ++depth) {
        ASSERT_EQ(::mkdirat(folder, longName.c_str(), 0755), 0);
        const int child = ::openat(folder, longName.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(folder);
        folder = child;
        ::close(::openat(folder, "f.txt", O_CREAT | O_WRONLY, 0644));
        path += "/" + QString::fromStdString(longName);
        if (QFile::encodeName(path + "/f.txt").size() < PATH_MAX)
            expectedFiles << path.mid(root_.size() + 1) + "/f.txt";
    }
    ::close(folder);
    ASSERT_LT(expectedFiles.size(), 24);

    EXPECT_EQ(droppedFiles(), expectedFiles);

    const int top = ::open(QFile::encodeName(root_).constData(), O_RDONLY | O_DIRECTORY);
    RemoveBelow(top);
    ::close(top);
}

struct NameCase {
    const char* label;
    QString name;
    bool bad;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class BadCharacterTable : public ::testing::TestWithParam<NameCase> {};

TEST_P(BadCharacterTable, Decides)
{
    EXPECT_EQ(HasBadCharacters(GetParam().name), GetParam().bad);
}

INSTANTIATE_TEST_SUITE_P(
    FolderWalk, BadCharacterTable,
    ::testing::Values(NameCase{"Plain", "Reports 2021", false}, NameCase{"Empty", "", false},
                      NameCase{"Umlaut", QString::fromUtf8("\xC3\x84pfel"), false},
                      NameCase{"Japanese", QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC"), false},
                      NameCase{"Emoji", QString::fromUtf8("\xF0\x9F\x93\x81"), false},
                      NameCase{"NoBreakSpaceA0", QString(QChar(0xA0)), false},
                      NameCase{"Tab", "a\tb", true}, NameCase{"Code1", QString("a") + QChar(1), true},
                      NameCase{"Code31", QString(QChar(31)), true}, NameCase{"Space32", " ", false},
                      NameCase{"Delete127", QString(QChar(127)), true},
                      NameCase{"C1Code133", QString(QChar(0x85)), true},
                      NameCase{"C1Code159", QString(QChar(0x9F)), true},
                      NameCase{"Question", "what?", true}, NameCase{"Tilde", "~x", false}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
