#include "base/ErrorReport.h"
#include "db/OdbcError.h"
#include "import/SqlTexts.h"

#include "FaultsHelpers.h"
#include "ImportRunFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// The real database behind a stand-in that plays a run's mishaps at chosen
// statements, counted from 1 in the order sent: the stop pressed right
// after one (0: while the file's connection opens), and the connection
// lost as a commit is answered (after the commit took effect). Every
// statement sent after the press is counted.
class ScriptedDatabase final : public ImportDatabase {
public:
    ScriptedDatabase(std::stop_source& stop, int stopAfterStatement, int loseAtCommit)
        : stop_(stop), stopAfter_(stopAfterStatement), loseAtCommit_(loseAtCommit)
    {
    }

    void open(const QString& connectionString) override
    {
        real_.open(connectionString);
        if (stopAfter_ == 0)
            stop_.request_stop();
    }
    void execute(const QString& sql) override
    {
        sending();
        real_.execute(sql);
        sent();
    }
    std::optional<int> columnCount(const QString& query) override
    {
        sending();
        const std::optional<int> count = real_.columnCount(query);
        sent();
        return count;
    }
    void close() override { real_.close(); }
    std::optional<std::vector<TableColumn>> tableColumns(const QString& table) override
    {
        return real_.tableColumns(table);
    }
    void beginBatches(const QString& table, int columns, const QStringList& names) override
    {
        real_.beginBatches(table, columns, names);
    }
    void insertBatch(const std::vector<RowValues>& rows) override
    {
        sending();
        const auto counted = qScopeGuard([&] { sent(); });
        real_.insertBatch(rows);
    }
    void commit() override
    {
        real_.commit();
        if (++commits_ == loseAtCommit_)
            throw OdbcError(QStringLiteral("08S01"), 2013, QStringLiteral("Lost connection during query"));
    }
    void rollback() override { real_.rollback(); }
    void endBatches() override { real_.endBatches(); }

    int sentAfterStop = 0;

private:
    void sending() { sentAfterStop += stop_.stop_requested() ? 1 : 0; }
    void sent()
    {
        if (++statements_ == stopAfter_)
            stop_.request_stop();
    }

    OdbcImportDatabase real_;
    std::stop_source& stop_;
    int stopAfter_;
    int loseAtCommit_;
    int statements_ = 0;
    int commits_ = 0;
};

struct EndingCase {
    const char* name;
    ImportMode mode;
    ColumnSource source;
    bool fastLoad;
    int stopAfterStatement;  // -1: never; -2: at the second column prompt
    int loseAtCommit;        // 0: never
    int filesLoaded;
    int rowsInserted;
    const char* closing;     // the closing message's first line
    int statementsFailed;
    const char* rejectsLog;  // of a.txt; empty: no rejects
    int inDoubt = 0;         // lines that may be in the table and in the rejects
    const char* inDoubtReport = "";
};

void PrintTo(const EndingCase& c, std::ostream* os) { *os << c.name; }

// a.txt's six data lines are lines 2-7; its line 5 ("bad") breaks the
// append table's rule, so the database refuses it alone, and in fast load
// (batches of two) the batch of lines 4-5 as a whole first.
class ImportEndingDb : public ImportRunFixture, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(ImportEndingDb, EveryLineEndsInTheTableOrTheRejectsAndNothingIsSentAfterTheStop)
{
    const EndingCase& c = GetParam();
    files_.append(file(QStringLiteral("a.txt"), "A,B\n1,x\n2,x\n3,x\n4,bad\n5,x\n6,x\n"));
    files_.append(file(QStringLiteral("b.txt"), "A,B\n7,y\n"));
    rejectsFolder_ = QDir(db_.folder()).filePath(QStringLiteral("rejects"));
    options_.options().columnSource = c.source;
    options_.options().fastLoad = c.fastLoad;
    options_.options().batchSize = 2;
    QString table = QStringLiteral("NewTable1");
    if (c.mode == ImportMode::AppendExisting) {
        table = QStringLiteral("Target");
        RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Target\"(\"A\" LONG VARCHAR, \"B\" LONG VARCHAR "
                                                "CHECK(\"B\" <> 'bad'))"));
        tables_.append(table);
        options_.options().mode = c.mode;
        options_.options().selectedTable = table;
    }
    ScriptedDatabase database(stop_, c.stopAfterStatement, c.loseAtCommit);
    if (c.source == ColumnSource::Prompted) {
        dialogs_.expectInput(QStringLiteral("Enter name for column #1:"), QStringLiteral("Left"));
        dialogs_.expectInput(QStringLiteral("Enter name for column #2:"), QStringLiteral("Right")).then([&] {
            if (c.stopAfterStatement == -2)
                stop_.request_stop();
        });
    }
    if (c.statementsFailed > 0 && c.loseAtCommit == 0)
        dialogs_.expectErrorReport(Location::ImportRun, 338, true);
    if (c.loseAtCommit > 0)
        dialogs_.expectMessageContaining(QString::fromUtf8(c.inDoubtReport));
    dialogs_.expectMessageContaining(QStringLiteral("%1\r\n\r\nFiles loaded completely: %2 of 2.\r\n"
                                                    "Rows inserted: %3.\r\nStatements that failed: %4.")
                                         .arg(QString::fromUtf8(c.closing))
                                         .arg(c.filesLoaded)
                                         .arg(c.rowsInserted)
                                         .arg(c.statementsFailed));
    const ImportOutcome outcome = runWith(db_.parameters(), database, nullptr);

    EXPECT_EQ(database.sentAfterStop, 0);
    if (c.stopAfterStatement != -1) {
        EXPECT_EQ(outcome.ending, ImportOutcome::Ending::Stopped);
        EXPECT_FALSE(TableNames(db_.parameters()).contains(QStringLiteral("NewTable2")));
    }
    const QString rejects = QDir(rejectsFolder_).filePath(QStringLiteral("a.txt"));
    const QString logPath = rejects + QStringLiteral(".log");
    const QString log = QFileInfo::exists(logPath) ? QString::fromUtf8(ReadFileBytes(logPath)) : QString();
    const QString expectedLog = QString::fromUtf8(c.rejectsLog);
    // A database's own words end a line with "*".
    if (expectedLog.endsWith(QStringLiteral("*\n")))
        EXPECT_TRUE(log.startsWith(expectedLog.chopped(2))) << log.toStdString();
    else
        EXPECT_EQ(log, expectedLog);
    // Together the table and the rejects hold every data line; lines in
    // doubt may be in both.
    if (TableNames(db_.parameters()).contains(table) && *c.rejectsLog) {
        const QStringList loaded =
            QueryRows(db_.parameters(), QStringLiteral("SELECT \"A\" FROM \"%1\" WHERE \"B\" <> 'y'").arg(table));
        const qsizetype rejected = ReadFileBytes(rejects).count('\n') - 1;  // the header is copied too
        EXPECT_EQ(loaded.size() + rejected - c.inDoubt, 6) << loaded.join(u' ').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ImportEndingDb,
    ::testing::Values(
        EndingCase{"StopWhileTheConnectionOpens", ImportMode::CreateNew, ColumnSource::HeaderRow, false, 0, 0, 0, 0,
                   "Import stopped.", 0, ""},
        EndingCase{"StopAfterTheTableStatement", ImportMode::CreateNew, ColumnSource::HeaderRow, false, 1, 0, 0, 0,
                   "Import stopped.", 0, "lines 2-7: not sent: the import was stopped\n"},
        EndingCase{"StopInTheMiddleOfAFile", ImportMode::CreateNew, ColumnSource::HeaderRow, false, 3, 0, 0, 2,
                   "Import stopped.", 0, "lines 4-7: not sent: the import was stopped\n"},
        EndingCase{"StopAtAColumnPrompt", ImportMode::CreateNew, ColumnSource::Prompted, false, -2, 0, 0, 0,
                   "Import stopped.", 0, ""},
        EndingCase{"StopAfterTheColumnCountQuery", ImportMode::AppendExisting, ColumnSource::HeaderRow, false, 1, 0, 0,
                   0, "Import stopped.", 0, "lines 2-7: not sent: the import was stopped\n"},
        // Statements: count query, batch 2-3, batch 4-5 (refused), then 4 and 5 alone.
        EndingCase{"RefusedBatchIsSentRowByRowAndTheBatchesAfterItFollow", ImportMode::AppendExisting,
                   ColumnSource::HeaderRow, true, -1, 0, 1, 6, "Import finished with errors.", 1,
                   "line 5: *\n"},
        EndingCase{"StopDuringTheRowByRowResend", ImportMode::AppendExisting, ColumnSource::HeaderRow, true, 4, 0,
                   0, 3, "Import stopped.", 0, "lines 5-7: not sent: the import was stopped\n"},
        EndingCase{"ConnectionLostAsABatchCommits", ImportMode::CreateNew, ColumnSource::HeaderRow, true, -1, 2, 1,
                   3, "Import finished with errors.", 1,
                   "lines 4-5: in doubt: the connection was lost while they were committed\n"
                   "lines 6-7: not sent: the connection was lost\n",
                   2, "a.txt: lines 4 to 5 may be in the table: the connection was lost while they were committed; "
                   "from line 6 on they are not."},
        // Commits: batch 2-3, then line 4 alone after the refused batch 4-5.
        EndingCase{"ConnectionLostAsAResentRowCommits", ImportMode::AppendExisting, ColumnSource::HeaderRow, true,
                   -1, 2, 1, 3, "Import finished with errors.", 1,
                   "line 4: in doubt: the connection was lost while they were committed\n"
                   "lines 5-7: not sent: the connection was lost\n",
                   1, "a.txt: line 4 may be in the table: the connection was lost while it was committed; from "
                   "line 5 on they are not."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
