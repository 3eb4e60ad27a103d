#include "TestSupport.h"

#include "base/Settings.h"
#include "db/Connection.h"

#include <QDir>
#include <QUuid>

#include <algorithm>

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

namespace quorvane::testing {

void StoreLogin(const ConnectionParameters& p)
{
    SettingsStore store;
    store.SaveSetting(SettingsKey::Server, p.server);
    store.SaveSetting(SettingsKey::Port, p.port);
    store.SaveSetting(SettingsKey::User, p.user);
    store.SaveSetting(SettingsKey::Password, p.password);
    store.SaveSetting(SettingsKey::Database, p.database);
}

ConnectionParameters SqliteParameters(const QString& databaseFile)
{
    // The driver reads only the file; the other fields still differ from one
    // another, so that a field read, saved or sent as another shows.
    return {QStringLiteral("sqlite-host"), kDefaultPort, databaseFile, QStringLiteral("sqlite-user"),
            QStringLiteral("sqlite-password")};
}

Backend CurrentBackend()
{
    return qEnvironmentVariable("QUORVANE_TEST_BACKEND") == QLatin1String("mariadb") ? Backend::MariaDb
                                                                                    : Backend::Sqlite;
}

const char* BackendName() { return CurrentBackend() == Backend::MariaDb ? "mariadb" : "sqlite"; }

ConnectionParameters MariaDbParameters()
{
    if (qEnvironmentVariable("QUORVANE_TEST_MARIADB_PORT").isEmpty()) {
        ADD_FAILURE() << "The MariaDB test server is not running: run the tests with "
                         "scripts/test.sh, which starts it.";
        return {};
    }
    return {QStringLiteral("127.0.0.1"), qEnvironmentVariable("QUORVANE_TEST_MARIADB_PORT"),
            qEnvironmentVariable("QUORVANE_TEST_MARIADB_DATABASE"),
            qEnvironmentVariable("QUORVANE_TEST_MARIADB_USER"),
            qEnvironmentVariable("QUORVANE_TEST_MARIADB_PASSWORD")};
}

void RunSql(const ConnectionParameters& parameters, const QString& sql)
{
    Connection connection;
    connection.open(BuildConnectionString(parameters));
    connection.execute(sql);
    connection.close();
}

void CreateThousandRows(const ConnectionParameters& parameters)
{
    RunSql(parameters, QStringLiteral("CREATE TABLE \"Thousand\"(\"N\" INTEGER)"));
    RunSql(parameters, QStringLiteral("INSERT INTO \"Thousand\" WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL "
                                      "SELECT n + 1 FROM c WHERE n < 1000) SELECT n FROM c"));
}

void CreateStockWithSlowInserts(const ConnectionParameters& parameters)
{
    CreateThousandRows(parameters);
    RunSql(parameters, QStringLiteral("CREATE TABLE \"Stock\"(\"A\" LONG VARCHAR, \"B\" LONG VARCHAR)"));
    RunSql(parameters, QStringLiteral("CREATE TRIGGER \"Slow\" BEFORE INSERT ON \"Stock\" BEGIN ")
                           + kBillionRowCount + QStringLiteral("; END"));
}

void ExpectRows(const ConnectionParameters& parameters, const QString& sql, QStringList expected)
{
    QStringList landed = QueryRows(parameters, sql);
    std::sort(expected.begin(), expected.end());
    std::sort(landed.begin(), landed.end());
    ASSERT_EQ(landed.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(landed[i].toUtf8().toHex(' '), expected[i].toUtf8().toHex(' '))
            << landed[i].toStdString() << " / " << expected[i].toStdString();
}

QStringList QueryRows(const ConnectionParameters& parameters, const QString& sql)
{
    // Read through the raw API so the check does not lean on the code under test.
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    QByteArray cs = BuildConnectionString(parameters).toUtf8();
    QStringList rows;
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(cs.data()),
                                        SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT))) {
        ADD_FAILURE() << "could not connect to read back";
    } else {
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
        QByteArray q = sql.toUtf8();
        if (!SQL_SUCCEEDED(SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(q.data()), SQL_NTS))) {
            ADD_FAILURE() << "query failed: " << sql.toStdString();
        } else {
            SQLSMALLINT columns = 0;
            SQLNumResultCols(stmt, &columns);
            while (SQL_SUCCEEDED(SQLFetch(stmt))) {
                QStringList values;
                for (SQLUSMALLINT c = 1; c <= columns; ++c) {
                    QByteArray value;
                    bool isNull = false;
                    for (;;) {
                        char chunk[4096];
                        SQLLEN ind = 0;
                        SQLRETURN rc = SQLGetData(stmt, c, SQL_C_CHAR, chunk, sizeof chunk, &ind);
                        if (rc == SQL_NO_DATA)
                            break;
                        if (!SQL_SUCCEEDED(rc))
                            break;
                        if (ind == SQL_NULL_DATA) {
                            isNull = true;
                            break;
                        }
                        const qsizetype n = (ind == SQL_NO_TOTAL || ind >= SQLLEN(sizeof chunk))
                                                ? qsizetype(sizeof chunk - 1)
                                                : qsizetype(ind);
                        value.append(chunk, n);
                        if (rc == SQL_SUCCESS)
                            break;
                    }
                    values << (isNull ? QStringLiteral("<NULL>") : QString::fromUtf8(value));
                }
                rows << values.join(QChar(0x1f));
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        SQLDisconnect(dbc);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return rows;
}

ScratchDatabase::ScratchDatabase() : previousFolder_(QDir::currentPath())
{
    QDir::setCurrent(dir_.path());
    if (CurrentBackend() == Backend::Sqlite) {
        parameters_ = SqliteParameters(dir_.filePath(QStringLiteral("test.db")));
        RunSql(parameters_, QStringLiteral("PRAGMA journal_mode=WAL"));
        return;
    }
    admin_ = MariaDbParameters();
    parameters_ = admin_;
    parameters_.database =
        QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
    RunSql(admin_, QStringLiteral("CREATE DATABASE ") + parameters_.database);
    // A user of its own that sees only this database, as a real login does;
    // its name is not the database's, so that the two cannot be mixed up unseen.
    parameters_.user = QStringLiteral("u_") + parameters_.database.mid(2);
    parameters_.password = QStringLiteral("pw;") + parameters_.database;
    for (const char* host : {"127.0.0.1", "localhost"}) {
        RunSql(admin_, QStringLiteral("CREATE USER '%1'@'%2' IDENTIFIED BY '%3'")
                           .arg(parameters_.user, QLatin1String(host), parameters_.password));
        RunSql(admin_, QStringLiteral("GRANT ALL ON %1.* TO '%2'@'%3'")
                           .arg(parameters_.database, parameters_.user, QLatin1String(host)));
    }
}

ScratchDatabase::~ScratchDatabase()
{
    if (CurrentBackend() == Backend::MariaDb) {
        try {
            RunSql(admin_, QStringLiteral("DROP DATABASE ") + parameters_.database);
            for (const char* host : {"127.0.0.1", "localhost"})
                RunSql(admin_, QStringLiteral("DROP USER '%1'@'%2'")
                                   .arg(parameters_.user, QLatin1String(host)));
        } catch (...) {
        }
    }
    QDir::setCurrent(previousFolder_);
}

ConnectionParameters ScratchDatabase::refusedParameters() const
{
    ConnectionParameters p = parameters_;
    if (CurrentBackend() == Backend::Sqlite)
        p.database = dir_.filePath(QStringLiteral("no/such/folder/x.db"));
    else
        p.password += QStringLiteral("-wrong");
    return p;
}

}  // namespace quorvane::testing
