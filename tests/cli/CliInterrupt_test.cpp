#include "db/Connection.h"
#include "db/ConnectionParameters.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace quorvane::testing;

using namespace quorvane;

namespace {

// How far the process has read the file it holds open at `path`; -1 while
// it holds none.
qint64 ReadPosition(qint64 pid, const QString& path)
{
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files)) {
        if (QFileInfo(QDir(fds).filePath(fd)).symLinkTarget() != path)
            continue;
        QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid).arg(fd));
        if (!info.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& line : info.readAll().split('\n'))
            if (line.startsWith("pos:"))
                return line.mid(4).trimmed().toLongLong();
    }
    return -1;
}

}  // namespace

// Ctrl+C while the program checks the field counts of a large file: it
// stops there, says so, and prints no statement at all. The file's last
// line disagrees, so a check that went on to the end would say that instead.
TEST(CliInterrupt, DuringTheFieldCountCheckSendsNothingMore)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    QByteArray text = "A,B\n";
    text.reserve(24'000'000);
    for (int i = 0; i < 3'000'000; ++i)
        text += "12345,67\n";
    text += "last\n";
    WriteFile(path, text);
    const QString canonical = QFileInfo(path).canonicalFilePath();

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(dir.filePath(QStringLiteral("out.sql")));
    process.start(QStringLiteral(QUORVANE_CLI_PATH), {"--print-sql", path});
    ASSERT_TRUE(process.waitForStarted());
    const qint64 pid = process.processId();

    // Held still while looked at: well into the file, with nothing printed,
    // it can only be the field-count check (the rows would print long before).
    bool interrupted = false;
    for (int attempt = 0; attempt < 20000 && !interrupted && process.state() == QProcess::Running; ++attempt) {
        ::kill(static_cast<pid_t>(pid), SIGSTOP);
        const qint64 position = ReadPosition(pid, canonical);
        if (position > text.size() / 10 && position < text.size() / 2
            && QFileInfo(dir.filePath(QStringLiteral("out.sql"))).size() == 0) {
            ::kill(static_cast<pid_t>(pid), SIGINT);
            interrupted = true;
        }
        ::kill(static_cast<pid_t>(pid), SIGCONT);
        if (!interrupted)
            QThread::usleep(500);
    }
    ASSERT_TRUE(interrupted) << "never caught the field-count check";
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(QStringLiteral("Import stopped.\n\nFiles loaded completely: 0 of 1.\n"
                                             "Rows inserted: 0.\nStatements that failed: 0.\n")));
    QFile out(dir.filePath(QStringLiteral("out.sql")));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().toStdString(), "");
}

// Ctrl+C against a statement that does not return. SQLite: a trigger that
// counts a billion rows, which the second press cancels; the run then ends
// as stopped. MariaDB, whose driver cannot cancel: another session holds
// the table locked, and the third press ends the program at once (130),
// the statement's lines marked in doubt. Either way the table and the
// rejects hold every line.
struct PressCase {
    const char* name;
    Backend backend;
    bool fast;
    int presses;
    int exitCode;
    int inDoubt;  // lines the rejects log marks in doubt
};

void PrintTo(const PressCase& c, std::ostream* os) { *os << c.name; }

class CliPressesDb : public ::testing::TestWithParam<PressCase> {};

TEST_P(CliPressesDb, AStatementThatDoesNotReturnEndsWithEveryLineKept)
{
    const PressCase& c = GetParam();
    if (CurrentBackend() != c.backend)
        GTEST_SKIP() << (c.backend == Backend::Sqlite ? kSqliteOnly : "MariaDB only: ") << "a row for the other driver";
    ScratchDatabase db;
    Connection locker;
    if (c.backend == Backend::Sqlite) {
        CreateStockWithSlowInserts(db.parameters());
    } else {
        RunSql(db.parameters(), QStringLiteral("CREATE TABLE \"Stock\"(\"A\" VARCHAR(10), \"B\" VARCHAR(10))"));
        locker.open(BuildConnectionString(db.parameters()));
        locker.execute(QStringLiteral("LOCK TABLES \"Stock\" READ"));  // reads pass, writes wait
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    WriteFile(path, "A,B\n1,2\n3,4\n5,6\n");
    const QString rejects = dir.filePath(QStringLiteral("rejects"));
    const ConnectionParameters p = db.parameters();
    QStringList arguments{"--server", p.server,  "--port", p.port, "--database", p.database, "--user",
                          p.user,     "--append", "Stock",  "--rejects", rejects};
    if (c.fast)
        arguments << "--fast";
    arguments << path;

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    env.insert(QStringLiteral("QUORVANE_PASSWORD"), p.password);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUORVANE_CLI_PATH), arguments);
    ASSERT_TRUE(process.waitForStarted());
    QThread::msleep(1500);  // well into the first statement
    for (int press = 0; press < c.presses; ++press) {
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        QThread::msleep(300);
    }
    QElapsedTimer sinceLast;
    sinceLast.start();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_LT(sinceLast.elapsed(), 5000);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), c.exitCode) << err.toStdString();
    // The cancel is the stop's own doing: neither reported nor counted.
    if (c.exitCode == 1)
        EXPECT_TRUE(err.contains(QStringLiteral("Import stopped.\n\nFiles loaded completely: 0 of 1.\n"
                                                "Rows inserted: 0.\nStatements that failed: 0.\n")))
            << err.toStdString();
    if (c.backend == Backend::MariaDb)
        locker.execute(QStringLiteral("UNLOCK TABLES"));
    const QString log = QString::fromUtf8(ReadFileBytes(rejects + QStringLiteral("/a.txt.log")));
    EXPECT_EQ(log.contains(QStringLiteral("in doubt: the statement was still running when the program ended")),
              c.inDoubt > 0)
        << log.toStdString();
    const qsizetype rejected = ReadFileBytes(rejects + QStringLiteral("/a.txt")).count('\n') - 1;
    const qsizetype loaded = QueryRows(db.parameters(), QStringLiteral("SELECT \"A\" FROM \"Stock\"")).size();
    // A line in doubt may be in both: the server may still run the
    // statement of a process that has ended.
    EXPECT_GE(loaded + rejected, 3) << log.toStdString();
    EXPECT_LE(loaded + rejected, 3 + c.inDoubt) << log.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Presses, CliPressesDb,
    ::testing::Values(PressCase{"SecondPressCancelsRowByRow", Backend::Sqlite, false, 2, 1, 0},
                      PressCase{"SecondPressCancelsABatch", Backend::Sqlite, true, 2, 1, 0},
                      PressCase{"ThirdPressEndsAtOnceRowByRow", Backend::MariaDb, false, 3, 130, 1},
                      PressCase{"ThirdPressEndsAtOnceInABatch", Backend::MariaDb, true, 3, 130, 3}),
    [](const auto& info) { return std::string(info.param.name); });
