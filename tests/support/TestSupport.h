#pragma once

#include "TestBasics.h"

#include "db/ConnectionParameters.h"

#include <QString>
#include <QTemporaryDir>

namespace quorvane::testing {

// Saves the five login fields, as the login window would have.
void StoreLogin(const ConnectionParameters& parameters);

// Each test process talks to one database product, chosen by the test
// command through the environment: the private odbcinst.ini registers that
// product's driver under the DB2 driver name, and unixODBC reads it once per
// process. Suites whose names end in "Db" run against both.
enum class Backend { Sqlite, MariaDb };
Backend CurrentBackend();
const char* BackendName();

// A connection to a SQLite database file.
ConnectionParameters SqliteParameters(const QString& databaseFile);

// The throwaway MariaDB server that the test command started. Fails the
// test when the server's details are missing from the environment.
ConnectionParameters MariaDbParameters();

// Runs one SQL text on a connection made from the parameters; for set-up and
// for reading back what reached the database.
void RunSql(const ConnectionParameters& parameters, const QString& sql);

// SQLite: a table "Thousand" of 1,000 rows, whose three-way join
// (kBillionRowCount) runs for minutes: a statement that does not come back
// unless cancelled.
void CreateThousandRows(const ConnectionParameters& parameters);
inline const QString kBillionRowCount =
    QStringLiteral("SELECT COUNT(*) FROM \"Thousand\" x, \"Thousand\" y, \"Thousand\" z");
// SQLite: the table "Stock"("A", "B"), whose every INSERT runs that count.
void CreateStockWithSlowInserts(const ConnectionParameters& parameters);
// The rows of a query, each row's values joined by '\x1f'; NULL reads as "<NULL>".
QStringList QueryRows(const ConnectionParameters& parameters, const QString& sql);
// Expects the query's rows to be exactly these, byte for byte, in any order
// (the tables have no key to order by). Differences are shown in hex.
void ExpectRows(const ConnectionParameters& parameters, const QString& sql, QStringList expected);

// An empty database of the current backend for one test: a SQLite file in a
// scratch folder (in WAL mode, for speed), or a MariaDB database dropped
// afterwards. The process works inside the scratch folder meanwhile, so a
// stray SQLite file never lands in the source tree.
class ScratchDatabase {
public:
    ScratchDatabase();
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    ConnectionParameters parameters() const { return parameters_; }
    // Parameters of the same database that the driver refuses.
    ConnectionParameters refusedParameters() const;
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString previousFolder_;
    ConnectionParameters admin_;
    ConnectionParameters parameters_;
};

}  // namespace quorvane::testing
