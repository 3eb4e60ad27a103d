#include "import/SqlTexts.h"

#include "FaultsHelpers.h"
#include "ImportRunFixture.h"

#include <atomic>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// The real database, watched: Stop is pressed right after a chosen
// statement (0: while the file's connection opens), as a user would while it
// runs, and every statement sent after the press is counted.
class StopAfterStatement final : public ImportDatabase, public ImportProgress {
public:
    explicit StopAfterStatement(int statement) : stopAfter_(statement) {}

    void open(const QString& connectionString) override
    {
        real_.open(connectionString);
        if (stopAfter_ == 0)
            pressed = true;
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
    void sendBatch(const std::vector<ParameterRow>& rows) override
    {
        sending();
        real_.sendBatch(rows);
        sent();
    }
    void commit() override { real_.commit(); }
    void rollback() override { real_.rollback(); }
    void endBatches() override { real_.endBatches(); }

    void update(int, int, int) override {}
    bool stopRequested() const override { return pressed; }

    std::atomic<bool> pressed{false};
    int sentAfterStop = 0;

private:
    void sending() { sentAfterStop += pressed ? 1 : 0; }
    void sent() { pressed = pressed || ++statements_ == stopAfter_; }

    OdbcImportDatabase real_;
    int stopAfter_;
    int statements_ = 0;
};

struct StopCase {
    const char* name;
    ImportMode mode;
    ColumnSource source;
    int stopAfterStatement;  // -1: at the second column prompt
    int filesLoaded;
    int rowsInserted;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class ImportStopDb : public ImportRunFixture, public ::testing::WithParamInterface<StopCase> {};

TEST_P(ImportStopDb, NothingIsSentAfterThePressAndAFileWhoseRowsAllWentInCounts)
{
    const StopCase& c = GetParam();
    files_.append(file(QStringLiteral("a.txt"), "A,B\n1,2\n3,4\n"));
    files_.append(file(QStringLiteral("b.txt"), "A,B\n5,6\n"));
    options_.options().columnSource = c.source;
    if (c.mode == ImportMode::AppendExisting) {
        RunSql(db_.parameters(), BuildCreateStatement(QStringLiteral("Target"), {"A", "B"}));
        tables_.append(QStringLiteral("Target"));
        options_.options().mode = c.mode;
        options_.options().selectedTable = QStringLiteral("Target");
    }
    StopAfterStatement database(c.stopAfterStatement);
    if (c.source == ColumnSource::Prompted) {
        dialogs_.expectInput(QStringLiteral("Enter name for column #1:"), QStringLiteral("Left"));
        dialogs_.expectInput(QStringLiteral("Enter name for column #2:"), QStringLiteral("Right"))
            .then([&] { database.pressed = true; });
    }
    dialogs_.expectMessage(QStringLiteral("Import stopped.\r\n\r\nFiles loaded completely: %1 of 2.\r\n"
                                          "Rows inserted: %2.\r\nStatements that failed: 0.")
                               .arg(c.filesLoaded)
                               .arg(c.rowsInserted));
    const ImportOutcome outcome = runWith(db_.parameters(), database, &database);
    EXPECT_EQ(outcome.ending, ImportOutcome::Ending::Stopped);
    EXPECT_EQ(database.sentAfterStop, 0);
    const QStringList made = TableNames(db_.parameters());
    EXPECT_FALSE(made.contains(QStringLiteral("NewTable2")));
    if (c.stopAfterStatement <= 0 && c.mode == ImportMode::CreateNew)
        EXPECT_TRUE(made.isEmpty()) << made.join(u' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Stop, ImportStopDb,
    ::testing::Values(
        StopCase{"WhileTheConnectionOpens", ImportMode::CreateNew, ColumnSource::HeaderRow, 0, 0, 0},
        StopCase{"AfterTheTableStatement", ImportMode::CreateNew, ColumnSource::HeaderRow, 1, 0, 0},
        StopCase{"AfterTheLastRowOfTheFirstFile", ImportMode::CreateNew, ColumnSource::HeaderRow, 3, 1, 2},
        StopCase{"AtAColumnPrompt", ImportMode::CreateNew, ColumnSource::Prompted, -1, 0, 0},
        StopCase{"AfterTheColumnCountQuery", ImportMode::AppendExisting, ColumnSource::HeaderRow, 1, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
