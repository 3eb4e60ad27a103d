#include "base/BusyIndicator.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "db/TableCatalogue.h"
#include "filelist/FileList.h"
#include "import/ImportDatabase.h"
#include "import/ImportEngine.h"
#include "import/ImportOptions.h"

#include "ImportRunFixture.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <vector>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// Records what the run shows as it goes.
class RecordingProgress final : public ImportProgress {
public:
    struct Update {
        int filePosition, fileCount, rowsInserted;
        bool operator==(const Update&) const = default;
    };
    void update(int filePosition, int fileCount, int rows) override
    {
        updates.push_back({filePosition, fileCount, rows});
    }
    // The first update of each file, which every file shows as it starts;
    // more come while a long file loads.
    std::vector<Update> fileStarts() const
    {
        std::vector<Update> starts;
        for (const Update& u : updates)
            if (starts.empty() || starts.back().filePosition != u.filePosition)
                starts.push_back(u);
        return starts;
    }
    std::vector<Update> updates;
};

void PrintTo(const RecordingProgress::Update& u, std::ostream* os)
{
    *os << "file " << u.filePosition << " of " << u.fileCount << ", " << u.rowsInserted << " rows";
}

class ImportRunDb : public ImportRunFixture {
protected:
    ImportOutcome run(ConnectionParameters parameters)
    {
        OdbcImportDatabase database;
        return runWith(std::move(parameters), database, &progress_);
    }
    ImportOutcome run() { return run(db_.parameters()); }

    QStringList rows(const QString& table, const QString& columns)
    {
        return QueryRows(db_.parameters(),
                         QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY 1").arg(columns, table));
    }

    RecordingProgress progress_;
};

const QString kSep = QStringLiteral("\x1f");

}  // namespace

TEST_F(ImportRunDb, CounterPatternMakesOneTablePerFileAndSkipsAListedName)
{
    for (int i = 1; i <= 3; ++i)
        files_.append(file(QStringLiteral("f%1.txt").arg(i),
                           QStringLiteral("Name,Zip Code\nrow%1,0%1\n").arg(i).toUtf8()));
    tables_.append(QStringLiteral("newtable2"));
    dialogs_.expectMessage(QStringLiteral("Done."));
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.ending, ImportOutcome::Ending::Finished);
    EXPECT_EQ(rows(QStringLiteral("NewTable1"), QStringLiteral("\"Name\", \"ZipCode\"")),
              QStringList{QStringLiteral("row1") + kSep + QStringLiteral("01")});
    EXPECT_EQ(rows(QStringLiteral("NewTable3"), QStringLiteral("\"Name\"")), QStringList{QStringLiteral("row3")});
    EXPECT_EQ(tables_.items(), (QStringList{QStringLiteral("NewTable3"), QStringLiteral("NewTable1"),
                                            QStringLiteral("newtable2")}));
    EXPECT_EQ(outcome.counts.filesLoaded, 2);
    // Each file in turn, with the rows of the files before it.
    EXPECT_EQ(progress_.fileStarts(), (std::vector<RecordingProgress::Update>{{1, 3, 0}, {2, 3, 1}, {3, 3, 1}}));
    for (std::size_t i = 1; i < progress_.updates.size(); ++i)
        EXPECT_GE(progress_.updates[i].rowsInserted, progress_.updates[i - 1].rowsInserted);
}

TEST_F(ImportRunDb, PatternWithoutCounterMakesOneTableAndSaysTheyExist)
{
    options_.options().tableNamePattern = QStringLiteral("People");
    files_.append(file(QStringLiteral("a.txt"), "A,B\n1,2\n"));
    files_.append(file(QStringLiteral("b.txt"), "A,B\n3,4\n"));
    dialogs_.expectMessage(QStringLiteral("Table(s) already exist."));
    run();
    EXPECT_EQ(rows(QStringLiteral("People"), QStringLiteral("\"A\", \"B\"")),
              QStringList{QStringLiteral("1") + kSep + QStringLiteral("2")});
}

TEST_F(ImportRunDb, HeaderLineAndOneFieldLinesAreNeverRows)
{
    files_.append(file(QStringLiteral("a.txt"), "A,B,C\r\nx,,z\r\n\r\n,b,\r\n"));
    // Without a separator in its header every line has one field: a table, no
    // rows, and the lines in the rejects (the empty one is no data line).
    files_.append(file(QStringLiteral("solo.txt"), "Solo\nv1\n\nv2\n"));
    rejectsFolder_ = QDir(db_.folder()).filePath(QStringLiteral("rejects"));
    dialogs_.expectMessage(QStringLiteral("Done.\r\nLines skipped because they hold a single field: 2.\r\n"
                                          "Lines not loaded were written to ")
                           + rejectsFolder_ + QLatin1Char('.'));
    run();
    EXPECT_EQ(ReadFileBytes(QDir(rejectsFolder_).filePath(QStringLiteral("solo.txt"))), "Solo\nv1\nv2\n");
    EXPECT_EQ(ReadFileBytes(QDir(rejectsFolder_).filePath(QStringLiteral("solo.txt.log"))),
              "line 2: holds a single field: is the separator right?\n"
              "line 4: holds a single field: is the separator right?\n");
    EXPECT_TRUE(rows(QStringLiteral("NewTable2"), QStringLiteral("\"Solo\"")).isEmpty());
    EXPECT_EQ(rows(QStringLiteral("NewTable1"), QStringLiteral("\"A\", \"B\", \"C\"")),
              (QStringList{QString() + kSep + QStringLiteral("b") + kSep + QStringLiteral("<NULL>"),
                           QStringLiteral("x") + kSep + QStringLiteral("<NULL>") + kSep + QStringLiteral("z")}));
}

TEST_F(ImportRunDb, AppendChecksTheColumnCountWithTheExactMessage)
{
    RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Target\"(\"A\" LONG VARCHAR, \"B\" LONG VARCHAR, "
                                            "\"C\" LONG VARCHAR, \"D\" LONG VARCHAR)"));
    const QString three = file(QStringLiteral("three.txt"), "a,b,c\n1,2,3\n");
    const QString four = file(QStringLiteral("four.txt"), "a,b,c,d\n\"1\",2,3,4\n");
    files_.append(three);
    files_.append(four);
    tables_.append(QStringLiteral("Target"));
    options_.options().mode = ImportMode::AppendExisting;
    options_.options().selectedTable = QStringLiteral("Target");
    dialogs_.expectMessage(QStringLiteral("The columns in the text file and the columns in the table must be "
                                          "identical.\r\n\r\n")
                           + three + QStringLiteral(" was split by , and has 3 columns. The table Target has 4 columns."));
    dialogs_.expectMessage(QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: 1 of 2.\r\n"
                                          "Rows inserted: 1.\r\nStatements that failed: 0."));
    run();
    EXPECT_EQ(rows(QStringLiteral("Target"), QStringLiteral("\"A\", \"D\"")),
              QStringList{QStringLiteral("1") + kSep + QStringLiteral("4")});
}

TEST_F(ImportRunDb, FieldCountMismatchEndsTheRunWithEarlierFilesLoaded)
{
    files_.append(file(QStringLiteral("good.txt"), "A,B\n1,2\n"));
    files_.append(file(QStringLiteral("bad.txt"), "A,B\n1,2\n\n3,4,5\n6\n"));
    files_.append(file(QStringLiteral("never.txt"), "A,B\n7,8\n"));
    dialogs_.expectTextWindow(QStringLiteral("Line no 3: 3,4,5"));
    const ImportOutcome outcome = run();
    EXPECT_EQ(outcome.ending, ImportOutcome::Ending::FieldCountCheck);
    EXPECT_EQ(rows(QStringLiteral("NewTable1"), QStringLiteral("\"A\"")), QStringList{QStringLiteral("1")});
    EXPECT_TRUE(tables_.items().contains(QStringLiteral("NewTable1")));
    EXPECT_FALSE(tables_.items().contains(QStringLiteral("NewTable3")));
}

TEST_F(ImportRunDb, UnreachableDatabaseIsReportedOncePerFileAndSummarised)
{
    files_.append(file(QStringLiteral("a.txt"), "A,B\n1,2\n3,4\n"));
    files_.append(file(QStringLiteral("b.txt"), "A,B\n1,2\n"));
    dialogs_.expectErrorReport(Location::ImportRun, 120);
    dialogs_.expectErrorReport(Location::ImportRun, 120);
    dialogs_.expectMessage(QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: 0 of 2.\r\n"
                                          "Rows inserted: 0.\r\nStatements that failed: 0."));
    run(db_.refusedParameters());
}

TEST_F(ImportRunDb, RejectedTableStatementSendsNoRowsAndIsNotListed)
{
    files_.append(file(QStringLiteral("dup.txt"), "Zip Code,ZipCode\n1,2\n3,4\n"));
    files_.append(file(QStringLiteral("ok.txt"), "A,B\n5,6\n"));
    dialogs_.expectErrorReport(Location::ImportRun, 190);
    dialogs_.expectMessage(QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: 1 of 2.\r\n"
                                          "Rows inserted: 1.\r\nStatements that failed: 1."));
    run();
    EXPECT_EQ(tables_.items(), QStringList{QStringLiteral("NewTable2")});
}

TEST_F(ImportRunDb, TickedBoxSilencesFurtherRowFailuresWhichAreStillCounted)
{
    // An empty header field makes one column fewer than every row carries.
    files_.append(file(QStringLiteral("a.txt"), "A,,C\n1,2,3\n4,5,6\n7,8,9\n"));
    dialogs_.expectErrorReport(Location::ImportRun, 226, /*tickCheckBox=*/true);
    dialogs_.expectMessage(QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: 0 of 1.\r\n"
                                          "Rows inserted: 0.\r\nStatements that failed: 3."));
    run();
    ASSERT_FALSE(dialogs_.shown().empty());
    EXPECT_EQ(dialogs_.shown().front().checkBoxText,
              QStringLiteral("Don't show further failed rows in this import"));
}

TEST_F(ImportRunDb, PromptedColumnNamesAndACancelledPrompt)
{
    options_.options().columnSource = ColumnSource::Prompted;
    files_.append(file(QStringLiteral("a.txt"), "x,y\n\"q\",O'Neil\n"));
    files_.append(file(QStringLiteral("b.txt"), "x,y\n1,2\n"));
    dialogs_.expectInput(QStringLiteral("Enter name for column #1:"), QStringLiteral("First Name"))
        .expectInput(QStringLiteral("Enter name for column #2:"), QStringLiteral("Last"))
        .expectInput(QStringLiteral("Enter name for column #1:"), QString())
        .expectMessage(QStringLiteral("Done."));
    run();
    EXPECT_EQ(rows(QStringLiteral("NewTable1"), QStringLiteral("\"FirstName\", \"Last\"")),
              QStringList{QStringLiteral("q") + kSep + QStringLiteral("O'Neil")});
    EXPECT_EQ(tables_.items(), QStringList{QStringLiteral("NewTable1")});
}

struct Refusal {
    const char* name;
    bool withFile;
    ImportMode mode;
    const char* pattern;
    const char* listed;
    const char* message;
};

class ImportRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(ImportRefusal, ShowsItsMessageAndTouchesNoDatabase)
{
    const Refusal& r = GetParam();
    ScriptedDialogs dialogs;
    FixedImportOptions options{ImportOptions{}};
    options.options().mode = r.mode;
    options.options().tableNamePattern = QString::fromUtf8(r.pattern);
    PlainFileList files;
    if (r.withFile)
        files.append(QStringLiteral("/nonexistent/file.txt"));
    PlainTableList tables;
    if (*r.listed)
        tables.append(QString::fromUtf8(r.listed));
    if (r.mode == ImportMode::AppendExisting)
        options.options().selectedTable.reset();
    // Parameters that could never connect: a refusal must not try.
    const RunInputs inputs{options.options(), files.paths(),
                           ConnectionParameters{}};
    QString printed;
    QTextStream out(&printed);
    PrintingImportDatabase database(out);
    NoBusyIndicator busy;
    dialogs.expectMessage(QString::fromUtf8(r.message));
    const ImportOutcome outcome = RunImport({dialogs, inputs, tables, database, busy});
    EXPECT_EQ(outcome.ending, ImportOutcome::Ending::Refused);
    out.flush();
    EXPECT_TRUE(printed.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    BeforeAnyFile, ImportRefusal,
    ::testing::Values(Refusal{"NoFiles", false, ImportMode::CreateNew, "T", "", "No files added."},
                      Refusal{"NoSelectedTable", true, ImportMode::AppendExisting, "T", "T",
                              "Please select a table."},
                      Refusal{"PatternListedInAnyCase", true, ImportMode::CreateNew, "NewTable[counter]",
                              "newtable[COUNTER]", "Table name already exists."},
                      Refusal{"EmptyPattern", true, ImportMode::CreateNew, "", "", "Please enter a table name."}),
    [](const auto& info) { return std::string(info.param.name); });
