#include "filelist/ListFiles.h"
#include "filelist/WildcardPattern.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

using namespace quorvane;
using quorvane::testing::WriteFile;

namespace {

struct PatternCase {
    const char* label;
    const char* pattern;
    const char* name;
    bool matches;
};
void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.label; }

class WildcardTable : public ::testing::TestWithParam<PatternCase> {};

TEST_P(WildcardTable, Matches)
{
    const WildcardPattern pattern(QString::fromUtf8(GetParam().pattern));
    EXPECT_EQ(pattern.matches(QString::fromUtf8(GetParam().name)), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    ListFiles, WildcardTable,
    ::testing::Values(PatternCase{"ExtensionMatches", "*.txt", "a.txt", true},
                      PatternCase{"UpperCaseName", "*.txt", "B.TXT", true},
                      PatternCase{"UpperCasePattern", "*.TXT", "c.Txt", true},
                      PatternCase{"LongerExtension", "*.txt", "a.txt.bak", false},
                      PatternCase{"NoDot", "*.txt", "atxt", false},
                      PatternCase{"DotFile", "*.txt", ".hidden.txt", true},
                      PatternCase{"OnlyExtension", "*.txt", ".txt", true},
                      PatternCase{"StarTakesAll", "*", "noext", true},
                      PatternCase{"StarDotStarWithoutDot", "*.*", "noext", true},
                      PatternCase{"StarDotStarWithDot", "*.*", "a.b.c", true},
                      PatternCase{"StemDotStarWithoutDot", "a*.*", "abc", true},
                      PatternCase{"StemDotStarOtherStem", "a*.*", "bc.d", false},
                      PatternCase{"QuestionIsOneCharacter", "?.csv", "x.csv", true},
                      PatternCase{"QuestionIsNotTwo", "?.csv", "xy.csv", false},
                      PatternCase{"BracketsAreLiteral", "*.[t]", "a.[t]", true},
                      PatternCase{"BracketsAreNotASet", "*.[t]", "a.t", false},
                      PatternCase{"RegexCharactersLiteral", "*.t+t", "a.t+t", true},
                      PatternCase{"RegexCharactersNotSpecial", "*.t+t", "a.ttt", false},
                      PatternCase{"NonAsciiCase", "*.\xC3\xA4", "x.\xC3\x84", true},
                      PatternCase{"NewlineInName", "*.txt", "a\nb.txt", true}),
    [](const auto& info) { return std::string(info.param.label); });

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

}  // namespace
