#include "filelist/FileDialogAnswer.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {

struct SelectionCase {
    const char* name;
    QStringList paths;
    QString folder;
    QStringList names;
};

void PrintTo(const SelectionCase& c, std::ostream* os) { *os << c.name; }

class SplitSelectionTable : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SplitSelectionTable, GivesFolderAndNames)
{
    const MultipleSelection selection = SplitSelection(GetParam().paths);
    EXPECT_EQ(selection.folder, GetParam().folder);
    EXPECT_EQ(selection.names, GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    FileDialogAnswer, SplitSelectionTable,
    ::testing::Values(
        SelectionCase{"OneFolder", {"/data/in/a.txt", "/data/in/b.csv"}, "/data/in", {"a.txt", "b.csv"}},
        SelectionCase{"RootFolder", {"/a.txt", "/b.txt"}, "/", {"a.txt", "b.txt"}},
        SelectionCase{"SiblingFolders", {"/d/x/a", "/d/y/b"}, "/d", {"x/a", "y/b"}},
        SelectionCase{"PrefixIsNotAFolder", {"/data/a", "/database/b"}, "/", {"data/a", "database/b"}},
        SelectionCase{"OrderKept", {"/f/c", "/f/a", "/f/b"}, "/f", {"c", "a", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileDialogAnswer, LengthOfOneFileIsItsPathAndTerminator)
{
    EXPECT_EQ(AnswerLength({QStringLiteral("/data/a.txt")}), 12);
}

TEST(FileDialogAnswer, LengthOfSeveralIsFolderNamesSeparatorsAndTerminator)
{
    // "/data" + 0 + "a.txt" + 0 + "bb.txt" + 0 + 0
    EXPECT_EQ(AnswerLength({QStringLiteral("/data/a.txt"), QStringLiteral("/data/bb.txt")}), 5 + 6 + 7 + 1);
}

TEST(FileDialogAnswer, NothingChosenNeedsOnlyTheTerminator)
{
    EXPECT_EQ(AnswerLength({}), 1);
}

}  // namespace
