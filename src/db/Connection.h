#pragma once

#include "db/OdbcHandle.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

namespace quorvane {

class BatchInsert;
class EventPump;
class ResultSet;

// The longest any connection open may take. Some drivers wait for good on a
// server that accepts the connection and never answers, login time-out or
// not; past this bound the open fails as a refused one does.
inline constexpr std::chrono::milliseconds kOpenTimeout{15000};

// The bound in force: kOpenTimeout unless a test has shortened it.
std::chrono::milliseconds OpenTimeout();
void SetOpenTimeout(std::chrono::milliseconds bound);

// Opens given up on whose driver call has not returned yet; each frees its
// handles when it does.
int AbandonedOpens();

// One database connection over the ODBC driver manager. It is made by the
// action that needs it and never outlives that action.
class Connection {
public:
    // Mode 3: open for reading and writing, as every import opens.
    static constexpr int kModeReadWrite = 3;

    // Fails only when the driver manager cannot give an environment.
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setMode(int mode);
    // Fails after OpenTimeout() without an answer. Meanwhile the caller's
    // window is served through events, when given.
    void open(const QString& connectionString, EventPump* events = nullptr);
    // The same, given up on at once when stop is requested.
    void open(const QString& connectionString, std::stop_token stop);
    bool isOpen() const { return connected_; }

    // Runs one statement; any result is discarded.
    void execute(const QString& sql);

    // Off: statements stay in one transaction until commit() or rollback().
    void setAutoCommit(bool on);
    void commit();
    void rollback();

    // From any thread: asks the statement in progress (execute(), a
    // BatchInsert, commit() or rollback()), if it has been running for at
    // least olderThan, to end now; it then fails with an OdbcError marked
    // cancelled. True when such a statement is in progress. The sending
    // thread never waits for it. A driver known to mishandle a cancel from
    // another thread is left to finish the statement.
    bool cancel(std::chrono::milliseconds olderThan = std::chrono::milliseconds(0));

    // The catalogue of tables: one row per object, columns TABLE_TYPE,
    // TABLE_NAME among others.
    ResultSet openTableSchema();

    // The catalogue of the columns of the tables whose names match table as
    // a search pattern (_ and % are wildcards): one row per column, columns
    // TABLE_NAME, COLUMN_NAME, NULLABLE, COLUMN_DEF among others.
    ResultSet openColumnSchema(const QString& table);

    // Prepares a query so that its columns are known.
    ResultSet openQuery(const QString& sql);

    // Ends the connection; result sets opened on it are closed with it.
    void close();

private:
    friend class BatchInsert;

    // Makes a statement (none: the transaction's end) reachable by cancel()
    // for as long as it lives, and records when it started.
    class Running {
    public:
        Running(Connection& connection, std::shared_ptr<odbc::Handle> statement);
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
        // Throws the failure of rc, marked cancelled when cancel() reached it.
        void check(SQLRETURN rc, const odbc::Handle& handle, const char* action) const;

    private:
        Connection& connection_;
    };
    struct InProgress {
        std::shared_ptr<odbc::Handle> statement;  // empty: commit or rollback
        std::chrono::steady_clock::time_point started;
        bool cancelled = false;
    };

    void allocateHandles();
    std::shared_ptr<odbc::Handle> newStatement();
    void endTransaction(SQLSMALLINT completion, const char* action);
    void openWithin(const QString& connectionString, EventPump* events, const std::stop_token* stop);

    odbc::Handle environment_;
    odbc::Handle connection_;
    bool connected_ = false;
    std::atomic<bool> cancelReachesServer_{true};
    int mode_ = 0;
    std::vector<std::weak_ptr<odbc::Handle>> statements_;
    // One handle serves every execute: allocating one per statement costs
    // as much as a short INSERT itself.
    std::shared_ptr<odbc::Handle> executeStatement_;
    // Held only to note or read the statement in progress.
    std::mutex runningMutex_;
    std::optional<InProgress> running_;
    // Held by a cancel under way and by close(), never by the sender: the
    // handle a cancel reaches is not freed under it.
    std::mutex cancelMutex_;
};

// Rows of a query or of the catalogue, walked forward.
class ResultSet {
public:
    ResultSet() = default;
    explicit ResultSet(std::shared_ptr<odbc::Handle> statement, bool fetchRows);

    int fieldCount() const;
    bool eof() const { return eof_; }
    void moveNext();
    // The value of a column of the current row, as text (empty for NULL).
    QString value(const QString& columnName) const;
    void close();

private:
    int columnIndex(const QString& columnName) const;

    std::shared_ptr<odbc::Handle> statement_;
    std::vector<QString> columnNames_;
    std::vector<QString> row_;
    bool eof_ = true;
};

}  // namespace quorvane
