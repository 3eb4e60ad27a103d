// A MariaDB server killed in the middle of a file and started again before
// the next one. The test runs a server of its own (in the build folder), so
// that killing it disturbs no other test running at the same time.

#include "base/BusyIndicator.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "db/TableCatalogue.h"
#include "filelist/FileList.h"
#include "import/ImportDatabase.h"
#include "import/ImportEngine.h"
#include "import/ImportOptions.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const QString kServerDir = QStringLiteral(QUORVANE_FAULT_SERVER_DIR);

bool PortAnswers(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool answered = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

// A server of the test's own, started and stopped with the project's script.
class PrivateServer {
public:
    bool start()
    {
        if (port_ == 0) {
            port_ = 20000 + static_cast<quint16>(QRandomGenerator::global()->bounded(20000));
            while (PortAnswers(port_))
                ++port_;
        }
        QProcess script;
        script.start(QStringLiteral(QUORVANE_MARIADB_SERVER_SCRIPT),
                     {QStringLiteral("start"), kServerDir, QString::number(port_), parameters().database,
                      parameters().user, parameters().password});
        return script.waitForFinished(120000) && script.exitCode() == 0;
    }

    // As a crash would: no chance to finish anything.
    void kill()
    {
        QFile pidFile(kServerDir + QStringLiteral("/mysqld.pid"));
        ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
        const pid_t pid = pidFile.readAll().trimmed().toInt();
        pidFile.close();
        ASSERT_GT(pid, 0);
        ASSERT_EQ(::kill(pid, SIGKILL), 0);
        // The dead process may stay a zombie; the script would wait on it.
        pidFile.remove();
        for (int i = 0; i < 50 && PortAnswers(port_); ++i)
            QThread::msleep(100);
    }

    void stop()
    {
        QProcess::execute(QStringLiteral(QUORVANE_MARIADB_SERVER_SCRIPT), {QStringLiteral("stop"), kServerDir});
    }

    ConnectionParameters parameters() const
    {
        return {QStringLiteral("127.0.0.1"), QString::number(port_), QStringLiteral("faults"),
                QStringLiteral("fault_loader"), QStringLiteral("fault;pw")};
    }

private:
    quint16 port_ = 0;
};

// The real database, with the server killed before a chosen statement and
// started again when the next file opens its connection.
class ServerKillingDatabase final : public ImportDatabase {
public:
    ServerKillingDatabase(PrivateServer& server, int killBeforeStatement, bool restart)
        : server_(server), killBefore_(killBeforeStatement), restart_(restart) {}

    void open(const QString& connectionString) override
    {
        if (killed_ && restart_ && !restarted_) {
            restarted_ = true;
            EXPECT_TRUE(server_.start());
        }
        real_.open(connectionString);
    }
    void execute(const QString& sql) override
    {
        countStatement();
        real_.execute(sql);
    }
    std::optional<int> columnCount(const QString& query) override { return real_.columnCount(query); }
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
        countStatement();
        real_.insertBatch(rows);
    }
    void commit() override { real_.commit(); }
    void rollback() override { real_.rollback(); }
    void endBatches() override { real_.endBatches(); }

private:
    void countStatement()
    {
        if (++statements_ == killBefore_) {
            server_.kill();
            killed_ = true;
        }
    }

    PrivateServer& server_;
    OdbcImportDatabase real_;
    int killBefore_;
    bool restart_;
    int statements_ = 0;
    bool killed_ = false;
    bool restarted_ = false;
};

struct KillCase {
    const char* name;
    int killBeforeStatement;  // 1 is the table statement, 2 the first row (or batch)
    bool fast;                // batches of 10 rows
    bool restartForNextFile;
    int reportLine;           // where the lost connection is reported
    QStringList secondFileReports;
    QString summary;
    int rowsKept;             // of the killed file
    int killedFile = 1;       // after the files before it, each of 3 rows
};

void PrintTo(const KillCase& c, std::ostream* os) { *os << c.name; }

class ServerKillDb : public ::testing::TestWithParam<KillCase> {
protected:
    static void SetUpTestSuite()
    {
        if (CurrentBackend() == Backend::MariaDb)
            serverUp_ = server_.start();
    }
    static void TearDownTestSuite()
    {
        if (CurrentBackend() == Backend::MariaDb)
            server_.stop();
    }

    void SetUp() override
    {
        if (CurrentBackend() != Backend::MariaDb)
            GTEST_SKIP() << "only a server can be killed";
        ASSERT_TRUE(serverUp_) << "the private MariaDB server did not start in "
                               << kServerDir.toStdString();
        for (const char* table : {"NewTable1", "NewTable2", "NewTable3"})
            RunSql(server_.parameters(), QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(QLatin1String(table)));
    }

    static PrivateServer server_;
    static bool serverUp_;
    QTemporaryDir folder_;
};

PrivateServer ServerKillDb::server_;
bool ServerKillDb::serverUp_ = false;

}  // namespace

TEST_P(ServerKillDb, LostConnectionIsReportedOnceAndTheSentRowsStay)
{
    const KillCase& c = GetParam();
    QByteArray killed = "A,B\n";
    for (int i = 0; i < 100; ++i)
        killed += QByteArray::number(1000 + i) + ",x\n";
    PlainFileList files;
    for (int position = 1; position <= c.killedFile + 1; ++position) {
        const QString name = position == c.killedFile ? QStringLiteral("killed.txt")
                                                      : QStringLiteral("file%1.txt").arg(position);
        files.append(folder_.filePath(name));
        WriteFile(files.path(position), position == c.killedFile ? killed : QByteArray("A,B\n1,2\n3,4\n5,6\n"));
    }
    const QString killedTable = QStringLiteral("NewTable%1").arg(c.killedFile);
    const QString nextTable = QStringLiteral("NewTable%1").arg(c.killedFile + 1);

    ScriptedDialogs dialogs;
    dialogs.expectErrorReport(Location::ImportRun, c.reportLine);
    for (const QString& line : c.secondFileReports)
        dialogs.expectErrorReport(Location::ImportRun, line.toInt());
    const QString rejects = folder_.filePath(QStringLiteral("rejects"));
    QByteArray notLoaded = "A,B\n";
    for (int i = c.rowsKept; i < 100; ++i)
        notLoaded += QByteArray::number(1000 + i) + ",x\n";
    const QString rejectsLine =
        c.rowsKept > 0 ? QStringLiteral("\r\nLines not loaded were written to %1.").arg(rejects) : QString();
    dialogs.expectMessage(QStringLiteral("Import finished with errors.\r\n\r\n") + c.summary + rejectsLine);
    ImportOptions chosen;
    chosen.fastLoad = c.fast;
    chosen.batchSize = 10;
    RunInputs inputs{chosen, {}, server_.parameters()};
    for (int row = 1; row <= files.count(); ++row)
        inputs.files << files.path(row);
    PlainTableList tables;
    ServerKillingDatabase database(server_, c.killBeforeStatement, c.restartForNextFile);
    NoBusyIndicator busy;
    RunImport({dialogs, inputs, tables, database, busy, nullptr, rejects});
    if (!c.restartForNextFile)
        ASSERT_TRUE(server_.start());  // to read back what is there

    const QStringList names = QueryRows(server_.parameters(),
                                        QStringLiteral("SELECT table_name FROM information_schema.tables "
                                                       "WHERE table_schema = DATABASE() ORDER BY 1"));
    if (c.rowsKept > 0) {
        const QStringList kept = QueryRows(server_.parameters(),
                                           QStringLiteral("SELECT \"A\" FROM \"%1\" ORDER BY 1").arg(killedTable));
        ASSERT_EQ(kept.size(), c.rowsKept);
        EXPECT_EQ(kept.front(), QStringLiteral("1000"));
        EXPECT_EQ(kept.back(), QString::number(1000 + c.rowsKept - 1));
        // Every line that is not in the table is in the rejects, as read.
        QFile rejected(QDir(rejects).filePath(QStringLiteral("killed.txt")));
        ASSERT_TRUE(rejected.open(QIODevice::ReadOnly));
        EXPECT_EQ(rejected.readAll(), notLoaded);
    } else {
        EXPECT_FALSE(names.contains(killedTable));
        EXPECT_FALSE(tables.items().contains(killedTable));
    }
    if (c.restartForNextFile)
        EXPECT_EQ(QueryRows(server_.parameters(),
                            QStringLiteral("SELECT \"A\", \"B\" FROM \"%1\" ORDER BY 1").arg(nextTable)),
                  (QStringList{"1\x1f" "2", "3\x1f" "4", "5\x1f" "6"}));
    else
        EXPECT_FALSE(names.contains(nextTable));
}

INSTANTIATE_TEST_SUITE_P(
    KillPoints, ServerKillDb,
    ::testing::Values(
        // The table statement and 40 rows go through; the 41st row meets a dead server.
        KillCase{"MidFileThenRestarted", 1 + 41, false, true, 226, {},
                 "Files loaded completely: 1 of 2.\r\nRows inserted: 43.\r\nStatements that failed: 1.", 40},
        // Four batches are committed; the fifth meets a dead server and is lost.
        KillCase{"FastMidFileThenRestarted", 1 + 5, true, true, 226, {},
                 "Files loaded completely: 1 of 2.\r\nRows inserted: 43.\r\nStatements that failed: 1.", 40},
        KillCase{"AtTheTableStatementThenRestarted", 1, false, true, 190, {},
                 "Files loaded completely: 1 of 2.\r\nRows inserted: 3.\r\nStatements that failed: 1.", 0},
        // Still down when the next file opens: that file is reported once, at the open.
        KillCase{"MidFileAndStillDown", 1 + 41, false, false, 226, {"120"},
                 "Files loaded completely: 0 of 2.\r\nRows inserted: 40.\r\nStatements that failed: 1.", 40},
        // The connection the first file left open dies in the second (its
        // table statement and one batch before, four batches in it): the
        // third file opens a fresh one.
        KillCase{"FastSecondOfThreeFilesThenRestarted", 2 + 1 + 5, true, true, 226, {},
                 "Files loaded completely: 2 of 3.\r\nRows inserted: 46.\r\nStatements that failed: 1.", 40, 2}),
    [](const ::testing::TestParamInfo<KillCase>& info) { return std::string(info.param.name); });
