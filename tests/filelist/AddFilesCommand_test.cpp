#include "filelist/FileListCommands.h"

#include "base/ApplicationTitle.h"
#include "base/ErrorReport.h"
#include "base/Failure.h"
#include "filelist/FileList.h"

#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;

namespace {

struct ChoiceCase {
    const char* label;
    QStringList chosen;
    QStringList rows;
};
void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.label; }

class DialogAnswers : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(DialogAnswers, AppendTheChosenFiles)
{
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles(GetParam().chosen);
    PlainFileList list;
    AddTextFiles(dialogs, list);
    EXPECT_EQ(list.paths(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    AddFilesCommand, DialogAnswers,
    ::testing::Values(
        ChoiceCase{"Cancelled", {}, {}},
        // One file is taken exactly as the dialog gives it, doubled separator and all.
        ChoiceCase{"OneFileAsReturned", {"/data//in/a.txt"}, {"/data//in/a.txt"}},
        ChoiceCase{"OneFileInRoot", {"/a.txt"}, {"/a.txt"}},
        ChoiceCase{"ThreeFilesInOrder",
                   {"/data/c.txt", "/data/a.csv", "/data/b"},
                   {"/data/c.txt", "/data/a.csv", "/data/b"}},
        ChoiceCase{"TwoFilesInRootGetOneSeparator", {"/a.txt", "/b.txt"}, {"/a.txt", "/b.txt"}},
        ChoiceCase{"SameFileTwice", {"/d/a.txt", "/d/a.txt"}, {"/d/a.txt", "/d/a.txt"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(AddFilesCommand, DialogHasItsTitleAndThreeFiltersWithTheFirstSelected)
{
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles({});
    PlainFileList list;
    AddTextFiles(dialogs, list);

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].title, "Add File(s) - Hold Ctrl to select multiple files");
    EXPECT_EQ(dialogs.shown()[0].filters,
              (QStringList{"Text Files (*.txt)", "CSV Files (*.csv)", "All Files (*.*)"}));
    EXPECT_EQ(dialogs.shown()[0].selectedFilter, 0);
}

TEST(AddFilesCommand, AddsToRowsAlreadyThere)
{
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles({"/d/a.txt", "/d/b.txt"});
    PlainFileList list;
    list.append("/d/a.txt");
    AddTextFiles(dialogs, list);
    EXPECT_EQ(list.paths(), (QStringList{"/d/a.txt", "/d/a.txt", "/d/b.txt"}));
}

// Names of the given length in "/data" (5 characters): the answer needs
// 5 + 1 + count * (length + 1) characters.
QStringList Selection(int count, int nameLength)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString name = QString::number(i).rightJustified(nameLength, QLatin1Char('f'));
        paths << QStringLiteral("/data/") + name;
    }
    return paths;
}

struct SizeCase {
    const char* label;
    int count;
    int nameLength;
    bool tooMany;
};
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.label; }

class SelectionSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SelectionSize, FitsOrGivesTheTooManyFilesMessage)
{
    const QStringList chosen = Selection(GetParam().count, GetParam().nameLength);
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles(chosen);
    if (GetParam().tooMany)
        dialogs.expectMessage(
            "You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button.");
    PlainFileList list;
    AddTextFiles(dialogs, list);

    EXPECT_EQ(list.count(), GetParam().tooMany ? 0 : GetParam().count);
    if (GetParam().tooMany) {
        ASSERT_EQ(dialogs.shown().size(), 2u);
        EXPECT_EQ(dialogs.shown()[1].title, ApplicationTitle());
        EXPECT_FALSE(dialogs.shown()[1].warningIcon);
    }
}

// 5 + 1 + 2999 * 10 = 29996; 5 + 1 + 3000 * 10 = 30006; 5 + 1 + 2 * (14996 + 1) = 30000.
INSTANTIATE_TEST_SUITE_P(AddFilesCommand, SelectionSize,
                         ::testing::Values(SizeCase{"JustBelow", 2999, 9, false},
                                           SizeCase{"Over", 3000, 9, true},
                                           SizeCase{"ExactlyFull", 2, 14996, false},
                                           SizeCase{"OneOver", 2, 14997, true}),
                         [](const auto& info) { return std::string(info.param.label); });

class RefusingFileList : public FileList {
public:
    int count() const override { return static_cast<int>(rows.size()); }
    QString path(int row) const override { return rows.value(row - 1); }
    void append(const QString& path) override
    {
        if (path.contains(QLatin1String("refused")))
            throw Failure(QStringLiteral("row refused"));
        rows.append(path);
    }
    QStringList rows;
};

TEST(AddFilesCommand, FailedAppendIsReportedOnItsLineAndTheRestFollow)
{
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles({"/d/a", "/d/refused", "/d/c"}).expectErrorReport(Location::AddFiles, 132);
    RefusingFileList list;
    AddTextFiles(dialogs, list);
    EXPECT_EQ(list.rows, (QStringList{"/d/a", "/d/c"}));
}

TEST(AddFilesCommand, FailedAppendOfOneFileIsReported)
{
    ScriptedDialogs dialogs;
    dialogs.expectOpenFiles({"/d/refused"}).expectErrorReport(Location::AddFiles, 116);
    RefusingFileList list;
    AddTextFiles(dialogs, list);
    EXPECT_TRUE(list.rows.isEmpty());
}

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
    AddFilesCommand, SplitSelectionTable,
    ::testing::Values(
        SelectionCase{"OneFolder", {"/data/in/a.txt", "/data/in/b.csv"}, "/data/in", {"a.txt", "b.csv"}},
        SelectionCase{"RootFolder", {"/a.txt", "/b.txt"}, "/", {"a.txt", "b.txt"}},
        SelectionCase{"SiblingFolders", {"/d/x/a", "/d/y/b"}, "/d", {"x/a", "y/b"}},
        SelectionCase{"PrefixIsNotAFolder", {"/data/a", "/database/b"}, "/", {"data/a", "database/b"}},
        SelectionCase{"OrderKept", {"/f/c", "/f/a", "/f/b"}, "/f", {"c", "a", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AddFilesDialogAnswer, LengthOfOneFileIsItsPathAndTerminator)
{
    EXPECT_EQ(AnswerLength({QStringLiteral("/data/a.txt")}), 12);
}

TEST(AddFilesDialogAnswer, LengthOfSeveralIsFolderNamesSeparatorsAndTerminator)
{
    // "/data" + 0 + "a.txt" + 0 + "bb.txt" + 0 + 0
    EXPECT_EQ(AnswerLength({QStringLiteral("/data/a.txt"), QStringLiteral("/data/bb.txt")}), 5 + 6 + 7 + 1);
}

TEST(AddFilesDialogAnswer, NothingChosenNeedsOnlyTheTerminator)
{
    EXPECT_EQ(AnswerLength({}), 1);
}

}  // namespace
