#include "filelist/FileRule.h"

#include "TestBasics.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace quorvane;
using quorvane::testing::WriteFile;

namespace {

// One scratch folder holding one entry of every kind the tables ask about.
class ScratchEntries : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        const QString root = dir_->path();
        WriteFile(root + "/plain.txt", "x");
        WriteFile(root + "/.dotfile", "x");
        WriteFile(root + "/readonly.txt", "x");
        WriteFile(root + "/.readonly", "x");
        QFile::setPermissions(root + "/readonly.txt", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(root + "/.readonly", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QDir(root).mkpath("folder");
        QDir(root).mkpath(".dotfolder");
        QFile::link(root + "/plain.txt", root + "/filelink");
        QFile::link(root + "/folder", root + "/folderlink");
        QFile::link(root + "/gone", root + "/dangling");
        ::mkfifo(QFile::encodeName(root + "/pipe").constData(), 0644);
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    static QString at(const char* name) { return dir_->path() + "/" + QString::fromUtf8(name); }

    static QTemporaryDir* dir_;
};
QTemporaryDir* ScratchEntries::dir_ = nullptr;

struct WordCase {
    const char* entry;
    int word;
};
void PrintTo(const WordCase& c, std::ostream* os) { *os << c.entry; }

class AttributeWordTable : public ScratchEntries, public ::testing::WithParamInterface<WordCase> {};

TEST_P(AttributeWordTable, MatchesTheEntry)
{
    EXPECT_EQ(AttributeWord(at(GetParam().entry)), GetParam().word);
}

// The read-only bit comes from the mode, not from who asks: the tests run
// as root, who may write everything, and still see it.
INSTANTIATE_TEST_SUITE_P(
    FileRule, AttributeWordTable,
    ::testing::Values(WordCase{"plain.txt", 32}, WordCase{".dotfile", 34}, WordCase{"folder", 16},
                      WordCase{"folder/", 16}, WordCase{".dotfolder", 18},
                      WordCase{"filelink", 1024 | 32}, WordCase{"folderlink", 1024 | 16},
                      WordCase{"pipe", 4}, WordCase{"readonly.txt", 33}, WordCase{".readonly", 35}),
    [](const auto& info) {
        std::string name = info.param.entry;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(ScratchEntries, AttributeWordOfAMissingPathFailsWithItsErrorNumber)
{
    try {
        AttributeWord(at("missing"));
        FAIL() << "no failure";
    } catch (const FileSystemFailure& failure) {
        EXPECT_EQ(failure.error(), ENOENT);
        EXPECT_TRUE(failure.isDeniedOrMissing());
        EXPECT_FALSE(failure.description().isEmpty());
    }
}

TEST_F(ScratchEntries, DanglingLinkIsAnAliasOnly)
{
    EXPECT_EQ(AttributeWord(at("dangling")), 1024 | Attribute::ReadOnly);
}

struct KindCase {
    const char* entry;
    bool folder;
    bool file;
};
void PrintTo(const KindCase& c, std::ostream* os) { *os << c.entry; }

class PathKindTable : public ScratchEntries, public ::testing::WithParamInterface<KindCase> {};

TEST_P(PathKindTable, IsFolderIsRegularFile)
{
    const QString path = GetParam().entry[0] ? at(GetParam().entry) : QString();
    EXPECT_EQ(IsFolder(path), GetParam().folder);
    EXPECT_EQ(IsRegularFile(path), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    FileRule, PathKindTable,
    ::testing::Values(KindCase{"plain.txt", false, true}, KindCase{".dotfile", false, true},
                      KindCase{"folder", true, false}, KindCase{"folderlink", true, false},
                      KindCase{"filelink", false, true}, KindCase{"dangling", false, false},
                      KindCase{"pipe", false, false}, KindCase{"missing", false, false},
                      KindCase{"plain.txt/below", false, false}, KindCase{"", false, false}),
    [](const auto& info) {
        std::string name = info.param.entry[0] ? info.param.entry : "empty";
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

}  // namespace
