#include "base/EventPump.h"
#include "db/CanConnect.h"
#include "db/Connection.h"
#include "db/OdbcError.h"
#include "db/TableCatalogue.h"

#include "SilentServer.h"
#include "TestSupport.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace quorvane;
using namespace quorvane::testing;

class DataAccessDb : public ::testing::Test {
protected:
    ConnectionParameters parameters() const { return db_.parameters(); }
    ConnectionParameters refused() const { return db_.refusedParameters(); }
    bool mariaDb() const { return CurrentBackend() == Backend::MariaDb; }

    // The listed names less the server's own tables that every login sees.
    QStringList userTables(const PlainTableList& list) const
    {
        QStringList names = list.items();
        names.removeAll(QStringLiteral("sqlite_sequence"));
        if (mariaDb()) {
            const QStringList system = QueryRows(
                parameters(), QStringLiteral("SELECT table_name FROM information_schema.tables "
                                             "WHERE table_schema = 'performance_schema'"));
            for (const QString& name : system)
                names.removeAll(name);
        }
        names.sort();
        return names;
    }

    ScratchDatabase db_;
};

TEST_F(DataAccessDb, CanConnectAnswersTrueAndFalseAndLeavesNothingOpen)
{
    EXPECT_TRUE(CanConnect(FixedConnectionParameters(parameters())));
    EXPECT_FALSE(CanConnect(FixedConnectionParameters(refused())));
}

// A 16-bit length wraps past 65,535 bytes. Sized so that the wrapped length
// ends the string right after the scratch database's own name: the long name
// must fail, not reach the database named after its first characters.
TEST_F(DataAccessDb, LongDatabaseNameDoesNotReachTheDatabaseNamedAfterItsStart)
{
    ConnectionParameters p = parameters();
    const QString prefix = p.database;
    const QString plain = BuildConnectionString(p);
    const qsizetype cut = plain.indexOf(QStringLiteral("=") + prefix + QStringLiteral(";")) + 1
                          + prefix.size();
    p.database = prefix + QStringLiteral("/") + QString(65536 - (plain.size() - cut) - 1, QLatin1Char('x'));
    ASSERT_EQ(BuildConnectionString(p).toUtf8().size(), 65536 + cut);
    EXPECT_FALSE(CanConnect(FixedConnectionParameters(p)));
}

TEST_F(DataAccessDb, FailedOpenCarriesStateNativeNumberAndDriverText)
{
    Connection connection;
    try {
        connection.open(BuildConnectionString(refused()));
        FAIL() << "open should fail";
    } catch (const OdbcError& error) {
        EXPECT_EQ(error.sqlState().size(), 5);
        EXPECT_FALSE(error.message().isEmpty());
        if (mariaDb()) {
            EXPECT_EQ(error.nativeError(), 1045);
            EXPECT_TRUE(error.message().contains(QStringLiteral("Access denied")));
        }
    }
    EXPECT_FALSE(connection.isOpen());
}

TEST_F(DataAccessDb, ExecuteRunsStatementsAndRaisesTheDriversError)
{
    Connection connection;
    connection.setMode(Connection::kModeReadWrite);
    connection.open(BuildConnectionString(parameters()));
    connection.execute(QStringLiteral("CREATE TABLE \"T1\"(\"A\" LONG VARCHAR, \"B\" LONG VARCHAR)"));
    connection.execute(QStringLiteral("INSERT INTO \"T1\" VALUES('x',NULL)"));
    EXPECT_THROW(connection.execute(QStringLiteral("INSERT INTO \"Missing\" VALUES('x')")), OdbcError);
    ResultSet query = connection.openQuery(QStringLiteral("SELECT * FROM \"T1\""));
    EXPECT_EQ(query.fieldCount(), 2);
    connection.close();
    EXPECT_THROW(query.fieldCount(), OdbcError);  // closed with its connection
    EXPECT_EQ(QueryRows(parameters(), QStringLiteral("SELECT \"A\", \"B\" FROM \"T1\"")),
              QStringList{QStringLiteral("x\x1f<NULL>")});
}

TEST_F(DataAccessDb, ListTablesKeepsOnlyTablesAndReplacesTheOldNames)
{
    RunSql(parameters(), QStringLiteral("CREATE TABLE \"Orders\"(\"A\" LONG VARCHAR)"));
    RunSql(parameters(), QStringLiteral("CREATE TABLE \"People\"(\"A\" LONG VARCHAR)"));
    RunSql(parameters(), QStringLiteral("CREATE VIEW \"OrderView\" AS SELECT * FROM \"Orders\""));
    PlainTableList list;
    list.append(QStringLiteral("DroppedMeanwhile"));
    NoEventPump events;
    ListTables(list, FixedConnectionParameters(parameters()), events);
    EXPECT_EQ(userTables(list), (QStringList{QStringLiteral("Orders"), QStringLiteral("People")}));
}

TEST_F(DataAccessDb, ListTablesThatCannotConnectLeavesTheListAsItWas)
{
    PlainTableList list;
    list.append(QStringLiteral("Kept"));
    NoEventPump events;
    EXPECT_THROW(ListTables(list, FixedConnectionParameters(refused()), events), OdbcError);
    EXPECT_EQ(list.items(), QStringList{QStringLiteral("Kept")});
}

TEST_F(DataAccessDb, EmptyDatabaseListsNoTables)
{
    PlainTableList list;
    NoEventPump events;
    ListTables(list, FixedConnectionParameters(parameters()), events);
    EXPECT_TRUE(userTables(list).isEmpty());
}

TEST(MariaDbLoginDb, PasswordWithSemicolonAndBraceConnects)
{
    if (CurrentBackend() != Backend::MariaDb)
        GTEST_SKIP() << "user accounts are a server matter; runs in the MariaDB pass";
    ScratchDatabase db;
    const QString user = QStringLiteral("semi_user");
    const QString password = QStringLiteral("pa;ss}w{rd");
    ConnectionParameters admin = MariaDbParameters();
    RunSql(admin, QStringLiteral("DROP USER IF EXISTS '%1'@'127.0.0.1'").arg(user));
    RunSql(admin, QStringLiteral("CREATE USER '%1'@'127.0.0.1' IDENTIFIED BY '%2'").arg(user, password));
    RunSql(admin, QStringLiteral("GRANT ALL ON %1.* TO '%2'@'127.0.0.1'").arg(db.parameters().database, user));
    ConnectionParameters p = db.parameters();
    p.user = user;
    p.password = password;
    EXPECT_TRUE(CanConnect(FixedConnectionParameters(p)));
    p.password = QStringLiteral("pa");  // the part before the semicolon is not the password
    EXPECT_FALSE(CanConnect(FixedConnectionParameters(p)));
    RunSql(admin, QStringLiteral("DROP USER '%1'@'127.0.0.1'").arg(user));
}

// The MariaDB driver waits for good on a server that never answers, login
// time-out or not; only the bound ends the open.
TEST(SilentServerDb, OpenGivesUpAtTheBoundAndTheAttemptEndsWhenTheDriverReturns)
{
    if (CurrentBackend() != Backend::MariaDb)
        GTEST_SKIP() << "the SQLite driver has no server to wait for";
    struct CountingPump final : EventPump {
        void processEvents() override { ++calls; }
        int calls = 0;
    } pump;
    const ShortOpenTimeout bound;
    const int abandonedBefore = AbandonedOpens();
    {
        SilentServer server;
        ConnectionParameters silent = MariaDbParameters();
        silent.port = server.port();
        Connection connection;
        try {
            connection.open(BuildConnectionString(silent));
            ADD_FAILURE() << "the open should time out";
        } catch (const OdbcError& error) {
            EXPECT_EQ(error.sqlState(), QStringLiteral("HYT00"));
            EXPECT_TRUE(error.message().contains(QStringLiteral("timed out")));
        }
        EXPECT_FALSE(connection.isOpen());
        // The attempt left with its own handles: the same object opens again.
        connection.open(BuildConnectionString(MariaDbParameters()));
        EXPECT_TRUE(connection.isOpen());

        EXPECT_FALSE(CanConnect(FixedConnectionParameters(silent), &pump));
        EXPECT_GT(pump.calls, 0);  // the caller's window was served while it waited
        EXPECT_EQ(AbandonedOpens(), abandonedBefore + 2);
    }
    // The closed server resets the waiting connections; each attempt then
    // frees its handles on its own thread.
    for (int wait = 0; wait < 300 && AbandonedOpens() != abandonedBefore; ++wait)
        QThread::msleep(100);
    EXPECT_EQ(AbandonedOpens(), abandonedBefore);
}

// The cancel reaches only a statement that has run for as long as asked,
// and the statement then fails marked as cancelled: the stop's own doing.
TEST_F(DataAccessDb, CancelReachesOnlyAStatementThatHasRunLongEnough)
{
    if (CurrentBackend() != Backend::Sqlite)
        GTEST_SKIP() << kSqliteOnly << "MariaDB's driver does not pass a cancel on to the server";
    CreateThousandRows(db_.parameters());
    Connection connection;
    connection.open(BuildConnectionString(db_.parameters()));
    EXPECT_FALSE(connection.cancel(std::chrono::milliseconds(0))) << "nothing is running";
    std::atomic<bool> cancelled{false};
    std::thread statement([&] {
        try {
            connection.execute(kBillionRowCount);
        } catch (const OdbcError& failure) {
            cancelled = failure.isCancelled();
        }
    });
    QThread::msleep(500);
    EXPECT_FALSE(connection.cancel(std::chrono::seconds(30)));
    QThread::msleep(300);
    EXPECT_TRUE(connection.cancel(std::chrono::milliseconds(500)));
    statement.join();
    EXPECT_TRUE(cancelled);
}
