#include "filelist/PathRules.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {

struct PathCase {
    const char* name;
    const char* input;
    const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

class WindowsRule : public ::testing::TestWithParam<PathCase> {};
class LinuxRule : public ::testing::TestWithParam<PathCase> {};

TEST_P(WindowsRule, Normalises)
{
    EXPECT_EQ(NormalizeWindowsPath(QString::fromUtf8(GetParam().input)),
              QString::fromUtf8(GetParam().expected));
}

TEST_P(LinuxRule, Normalises)
{
    EXPECT_EQ(NormalizeLinuxPath(QString::fromUtf8(GetParam().input)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    NormalizePath, WindowsRule,
    ::testing::Values(
        PathCase{"DriveWithDoubledSeparators", R"(C:\\data\\in\\a.txt)", R"(C:\data\in\a.txt)"},
        PathCase{"RunOfThreeBecomesTwo", R"(C:\data\\\a.txt)", R"(C:\data\\a.txt)"},
        PathCase{"RunOfFourBecomesTwo", R"(C:\data\\\\a.txt)", R"(C:\data\\a.txt)"},
        PathCase{"RunOfFiveBecomesThree", R"(C:\a\\\\\b)", R"(C:\a\\\b)"},
        PathCase{"ShareKeepsLeadingPair", R"(\\server\share\\a.txt)", R"(\\server\share\a.txt)"},
        PathCase{"OneLeadingBecomesTwo", R"(\data\a.txt)", R"(\\data\a.txt)"},
        PathCase{"FourLeadingBecomeTwo", R"(\\\\server\a.txt)", R"(\\server\a.txt)"},
        PathCase{"OnlySeparators", R"(\\\\\)", R"(\\)"},
        PathCase{"SingleSeparator", R"(\)", R"(\\)"},
        PathCase{"RootFolderJoin", R"(C:\\a.txt)", R"(C:\a.txt)"},
        PathCase{"SlashesUntouched", "C://a", "C://a"},
        PathCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    NormalizePath, LinuxRule,
    ::testing::Values(
        PathCase{"DoubledSeparators", "/data//in//a.txt", "/data/in/a.txt"},
        PathCase{"RunOfThreeBecomesTwo", "/data///a.txt", "/data//a.txt"},
        PathCase{"RunOfFourBecomesTwo", "/data////a.txt", "/data//a.txt"},
        PathCase{"LeadingPairBecomesOne", "//server/a.txt", "/server/a.txt"},
        PathCase{"LeadingRunBecomesOne", "////a//b", "/a/b"},
        PathCase{"RootFolderJoin", "//a.txt", "/a.txt"},
        PathCase{"OnlySeparators", "/////", "/"},
        PathCase{"RelativeKeepsNoLeadingSeparator", "a//b", "a/b"},
        PathCase{"NonAsciiKept", "/d\xC3\xA4t//\xE6\x97\xA5.txt", "/d\xC3\xA4t/\xE6\x97\xA5.txt"},
        PathCase{"BackslashesUntouched", "/a\\\\b", "/a\\\\b"},
        PathCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NormalizePath, UsesTheLinuxRuleHere)
{
    EXPECT_EQ(NormalizePath(QStringLiteral("//tmp//x")), QStringLiteral("/tmp/x"));
}

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
    PathRules, WildcardTable,
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

}  // namespace
