#include "base/ErrorReport.h"
#include "import/SqlTexts.h"

#include "ImportRunFixture.h"

#include <QDir>
#include <QFile>

#include <utility>
#include <vector>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// The real database, with one thing done behind the run's back right after
// its table statement (dropping the new table, say), as another user might,
// or its connection ended by the server before the column-count query.
class BehindTheRunsBack final : public ImportDatabase {
public:
    BehindTheRunsBack(ConnectionParameters parameters, QString sql, bool killBeforeCount)
        : parameters_(std::move(parameters)), sql_(std::move(sql)), killBeforeCount_(killBeforeCount)
    {
    }
    void open(const QString& connectionString) override { real_.open(connectionString); }
    void execute(const QString& statement) override
    {
        real_.execute(statement);
        if (!sql_.isEmpty() && statement.startsWith(QStringLiteral("CREATE TABLE")))
            RunSql(parameters_, sql_);
    }
    std::optional<int> columnCount(const QString& query) override
    {
        if (std::exchange(killBeforeCount_, false)) {
            const QStringList others = QueryRows(
                parameters_, QStringLiteral("SELECT id FROM information_schema.processlist "
                                            "WHERE db = DATABASE() AND id <> CONNECTION_ID()"));
            for (const QString& id : others)
                RunSql(parameters_, QStringLiteral("KILL CONNECTION ") + id);
        }
        return real_.columnCount(query);
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
    void insertBatch(const std::vector<RowValues>& rows) override { real_.insertBatch(rows); }
    void commit() override { real_.commit(); }
    void rollback() override { real_.rollback(); }
    void endBatches() override { real_.endBatches(); }

private:
    OdbcImportDatabase real_;
    ConnectionParameters parameters_;
    QString sql_;
    bool killBeforeCount_;
};

struct FailureCase {
    const char* name;
    ImportMode mode;
    ColumnSource source;
    const char* before;          // run before the import
    const char* afterCreate;     // run right after the run's table statement
    bool killBeforeCount;        // the first file's connection is ended (a server only)
    std::vector<const char*> prompts;
    std::vector<const char*> files;
    std::vector<int> reportLines;  // where the reports come from, in order
    bool tickFirstReport;
    const char* fieldCountLine;  // the text window of a field-count mismatch
    const char* summary;
    const char* rowsOfTarget;    // what "Target" holds afterwards, when it is there
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ImportFailureDb : public ImportRunFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ImportFailureDb, IsReportedWhereItHappensAndCountedInTheSummary)
{
    const FailureCase& c = GetParam();
    if (c.killBeforeCount && CurrentBackend() != Backend::MariaDb)
        GTEST_SKIP() << "only a server ends a connection";
    if (*c.before)
        RunSql(db_.parameters(), QString::fromUtf8(c.before));
    options_.options().mode = c.mode;
    options_.options().columnSource = c.source;
    options_.options().tableNamePattern = QStringLiteral("Target");
    if (c.mode == ImportMode::AppendExisting)
        options_.options().selectedTable = QStringLiteral("Target");
    for (std::size_t i = 0; i < c.files.size(); ++i)
        files_.append(file(QStringLiteral("f%1.txt").arg(i + 1), c.files[i]));
    for (std::size_t i = 0; i < c.prompts.size(); ++i)
        dialogs_.expectInput(ColumnNamePrompt(static_cast<int>(i) + 1), QString::fromUtf8(c.prompts[i]));
    for (std::size_t i = 0; i < c.reportLines.size(); ++i)
        dialogs_.expectErrorReport(Location::ImportRun, c.reportLines[i], i == 0 && c.tickFirstReport);
    if (c.fieldCountLine)
        dialogs_.expectTextWindow(QString::fromUtf8(c.fieldCountLine));
    dialogs_.expectMessage(QString::fromUtf8(c.summary));

    BehindTheRunsBack database(db_.parameters(), QString::fromUtf8(c.afterCreate), c.killBeforeCount);
    runWith(db_.parameters(), database, nullptr);
    if (c.rowsOfTarget)
        EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT \"A\" FROM \"Target\" ORDER BY 1")).join(u' '),
                  QString::fromUtf8(c.rowsOfTarget));
}

constexpr auto Append = ImportMode::AppendExisting;
constexpr auto Create = ImportMode::CreateNew;
constexpr auto Header = ColumnSource::HeaderRow;
constexpr auto Prompted = ColumnSource::Prompted;
constexpr const char* kTargetAB =
    "CREATE TABLE \"Target\"(\"A\" LONG VARCHAR, \"B\" LONG VARCHAR NOT NULL)";

INSTANTIATE_TEST_SUITE_P(
    Steps, ImportFailureDb,
    ::testing::Values(
        // A NULL into a NOT NULL column: the row is reported, the next goes in.
        FailureCase{"AppendRow", Append, Header, kTargetAB, "", false, {}, {"A,B\n1,\n2,x\n"}, {338}, false, nullptr,
                    "Import finished with errors.\r\n\r\nFiles loaded completely: 0 of 1.\r\n"
                    "Rows inserted: 1.\r\nStatements that failed: 1.",
                    "2"},
        // The selected table was dropped since it was listed: one report per
        // file and no rows tried.
        FailureCase{"ColumnCountQuery", Append, Header, "", "", false, {}, {"A,B\n1,2\n3,4\n", "A,B\n5,6\n"}, {300, 300},
                    false, nullptr,
                    "Import finished with errors.\r\n\r\nFiles loaded completely: 0 of 2.\r\n"
                    "Rows inserted: 0.\r\nStatements that failed: 2.",
                    nullptr},
        // A connection lost at the query is reported there once; the next
        // file has a connection of its own.
        FailureCase{"ColumnCountQueryOnALostConnection", Append, Header, kTargetAB, "", true, {},
                    {"A,B\n1,2\n", "A,B\n5,6\n"}, {300}, false, nullptr,
                    "Import finished with errors.\r\n\r\nFiles loaded completely: 1 of 2.\r\n"
                    "Rows inserted: 1.\r\nStatements that failed: 1.",
                    "5"},
        // Two columns of one name.
        FailureCase{"PromptedTableStatement", Create, Prompted, "", "", false, {"Same", "Same"}, {"A,B\n1,2\n"}, {254},
                    false, nullptr,
                    "Import finished with errors.\r\n\r\nFiles loaded completely: 0 of 1.\r\n"
                    "Rows inserted: 0.\r\nStatements that failed: 1.",
                    nullptr},
        FailureCase{"PromptedRow", Create, Prompted, "", "DROP TABLE \"Target\"", false, {"L", "R"}, {"A,B\n1,2\n"}, {290},
                    false, nullptr,
                    "Import finished with errors.\r\n\r\nFiles loaded completely: 0 of 1.\r\n"
                    "Rows inserted: 0.\r\nStatements that failed: 1.",
                    nullptr},
        // Silenced row failures of an earlier file are still told when a
        // field-count mismatch ends the run.
        FailureCase{"FieldCountMismatchAfterSilencedRows", Append, Header, kTargetAB, "", false, {},
                    {"A,B\n1,\n2,\n3,y\n", "A,B\n4,5,6\n"}, {338}, true, "Line no 1: 4,5,6",
                    "Import stopped.\r\n\r\nFiles loaded completely: 0 of 2.\r\n"
                    "Rows inserted: 1.\r\nStatements that failed: 2.",
                    "3"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Rows the database refuses among good ones: exactly those are reported (in
// fast load with their file and line), and written as read to the rejects;
// every other row is in the table. Fast load sends batches of 4 here, so
// both refused rows sit in batches with good ones.
class RefusedRowsDb : public ImportRunFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(RefusedRowsDb, AreReportedAndRejectedAndEveryOtherRowLoads)
{
    const bool fast = GetParam();
    RunSql(db_.parameters(),
           QStringLiteral("CREATE TABLE \"Target\"(\"A\" LONG VARCHAR, \"B\" LONG VARCHAR NOT NULL)"));
    tables_.append(QStringLiteral("Target"));
    const QString path = file(QStringLiteral("source.txt"),
                              "A,B\r\n1,x\r\n2,y\r\n3,\r\n4,w\r\n5,v\r\n6,u\r\n7,\n8,t\r\n9,s");
    files_.append(path);
    rejectsFolder_ = QDir(db_.folder()).filePath(QStringLiteral("rejects"));
    ImportOptions& o = options_.options();
    o.mode = ImportMode::AppendExisting;
    o.selectedTable = QStringLiteral("Target");
    o.fastLoad = fast;
    o.batchSize = 4;
    dialogs_.expectErrorReport(Location::ImportRun, 338).expectErrorReport(Location::ImportRun, 338);
    dialogs_.expectMessage(QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: 0 of 1.\r\n"
                                          "Rows inserted: 7.\r\nStatements that failed: 2.\r\n"
                                          "Lines not loaded were written to %1.")
                               .arg(rejectsFolder_));
    OdbcImportDatabase database;
    runWith(db_.parameters(), database, nullptr);

    ExpectRows(db_.parameters(), QStringLiteral("SELECT * FROM \"Target\""),
               {"1\x1fx", "2\x1fy", "4\x1fw", "5\x1fv", "6\x1fu", "8\x1ft", "9\x1fs"});
    // Both modes name the file and the line as an editor counts it.
    ASSERT_GE(dialogs_.shown().size(), 2u);
    EXPECT_TRUE(dialogs_.shown()[0].text.contains(path + QStringLiteral(", line 4: ")));
    EXPECT_TRUE(dialogs_.shown()[1].text.contains(path + QStringLiteral(", line 8: ")));
    EXPECT_EQ(ReadFileBytes(QDir(rejectsFolder_).filePath(QStringLiteral("source.txt"))), QByteArray("A,B\r\n3,\r\n7,\n"));
    const QList<QByteArray> log = ReadFileBytes(QDir(rejectsFolder_).filePath(QStringLiteral("source.txt.log"))).split('\n');
    ASSERT_GE(log.size(), 2);
    EXPECT_TRUE(log[0].startsWith("line 4: ")) << log[0].toStdString();
    EXPECT_TRUE(log[1].startsWith("line 8: ")) << log[1].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Modes, RefusedRowsDb, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Fast" : "RowByRow"; });

}  // namespace
