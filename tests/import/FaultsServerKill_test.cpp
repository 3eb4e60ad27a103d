// A MariaDB server killed in the middle of a file and started again before
// the next one. The test runs a server of its own (in the build folder), so
// that killing it disturbs no other test running at the same time.

#include "app/BusyIndicator.h"
#include "app/ErrorReport.h"
#include "app/EventPump.h"
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
                QStringLiteral("faults"), QStringLiteral("fault;pw")};
    }

private:
    quint16 port_ = 0;
};

// The real database, with the server killed before a chosen statement and
// started again when the next file opens its connection.
class ServerKillingDatabase final : public ImportDatabase {
public:
    ServerKillingDatabase(PrivateServer& server, int killBeforeStatement)
        : server_(server), killBefore_(killBeforeStatement) {}

    void open(const QString& connectionString) override
    {
        if (killed_ && !restarted_) {
            restarted_ = true;
            EXPECT_TRUE(server_.start());
        }
        real_.open(connectionString);
    }
    void execute(const QString& sql) override
    {
        if (++statements_ == killBefore_) {
            server_.kill();
            killed_ = true;
        }
        real_.execute(sql);
    }
    std::optional<int> columnCount(const QString& query) override { return real_.columnCount(query); }
    void close() override { real_.close(); }

private:
    PrivateServer& server_;
    OdbcImportDatabase real_;
    int killBefore_;
    int statements_ = 0;
    bool killed_ = false;
    bool restarted_ = false;
};

class ServerKillDb : public ::testing::Test {
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
        for (const char* table : {"NewTable1", "NewTable2"})
            RunSql(server_.parameters(), QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(QLatin1String(table)));
    }

    static PrivateServer server_;
    static bool serverUp_;
    QTemporaryDir folder_;
};

PrivateServer ServerKillDb::server_;
bool ServerKillDb::serverUp_ = false;

}  // namespace

TEST_F(ServerKillDb, KilledMidFileReportsOnceKeepsTheSentRowsAndLoadsTheNextFile)
{
    QByteArray first = "A,B\n";
    for (int i = 0; i < 100; ++i)
        first += QByteArray::number(1000 + i) + ",x\n";
    PlainFileList files;
    files.append(folder_.filePath(QStringLiteral("first.txt")));
    files.append(folder_.filePath(QStringLiteral("second.txt")));
    WriteFile(files.path(1), first);
    WriteFile(files.path(2), "A,B\n1,2\n3,4\n5,6\n");

    ScriptedDialogs dialogs;
    // The table statement and 40 rows go through; the 41st row meets a dead server.
    dialogs.expectErrorReport(Location::Form2Import, 226);
    dialogs.expectMessage(QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: 1 of 2.\r\n"
                                         "Rows inserted: 43.\r\nStatements that failed: 1."));
    FixedImportOptions options{ImportOptions{}};
    PlainTableList tables;
    FixedConnectionParameters connection(server_.parameters());
    ServerKillingDatabase database(server_, 1 + 41);
    NoBusyIndicator busy;
    NoEventPump events;
    RunImport({dialogs, options, files, tables, connection, database, busy, events, nullptr});
    for (const auto& shown : dialogs.shown())
        std::printf("[ shown: %s ]\n", qPrintable(shown.text.left(400)));

    const QStringList kept = QueryRows(server_.parameters(), QStringLiteral("SELECT \"A\" FROM \"NewTable1\" ORDER BY 1"));
    ASSERT_EQ(kept.size(), 40);
    EXPECT_EQ(kept.front(), QStringLiteral("1000"));
    EXPECT_EQ(kept.back(), QStringLiteral("1039"));
    EXPECT_EQ(QueryRows(server_.parameters(), QStringLiteral("SELECT \"A\", \"B\" FROM \"NewTable2\" ORDER BY 1")),
              (QStringList{"1\x1f" "2", "3\x1f" "4", "5\x1f" "6"}));
}
