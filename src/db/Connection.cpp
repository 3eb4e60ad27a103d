#include "db/Connection.h"

#include "base/EventPump.h"
#include "base/PacedEvents.h"
#include "db/OdbcError.h"

#include <QByteArray>
#include <QScopeGuard>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

namespace quorvane {

namespace {

SQLCHAR* sqlText(QByteArray& utf8) { return reinterpret_cast<SQLCHAR*>(utf8.data()); }

// Statement lengths go to the driver as 32 bits: a longer text fails here
// instead of reaching the driver cut short.
SQLINTEGER sqlLength(const QByteArray& utf8)
{
    if (utf8.size() > std::numeric_limits<SQLINTEGER>::max())
        throw OdbcError(QStringLiteral("HY090"), 0,
                        QStringLiteral("The statement is too long for the ODBC driver."));
    return static_cast<SQLINTEGER>(utf8.size());
}

odbc::Handle allocate(SQLSMALLINT type, SQLHANDLE parent, const char* action)
{
    SQLHANDLE handle = SQL_NULL_HANDLE;
    const SQLRETURN rc = SQLAllocHandle(type, parent, &handle);
    if (!SQL_SUCCEEDED(rc)) {
        const SQLSMALLINT parentType = type == SQL_HANDLE_ENV   ? 0
                                       : type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV
                                                                : SQL_HANDLE_DBC;
        odbc::Check(rc, parentType, parent, action);
        throw OdbcError(QString(), 0, QStringLiteral("The ODBC driver manager is not available."));
    }
    return odbc::Handle(type, handle);
}

// MariaDB's driver (3.1) takes a cancel from another thread for one of an
// idle statement and closes the statement under way from that thread:
// waiting for the statement is the safe choice there.
bool CancelReachesServer(const odbc::Handle& connection)
{
    SQLCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(connection.get(), SQL_DRIVER_NAME, name, sizeof name, &length)))
        return true;
    return !QByteArray(reinterpret_cast<const char*>(name)).startsWith("libmaodbc");
}

std::atomic<std::chrono::milliseconds::rep> openTimeoutMs{kOpenTimeout.count()};
std::atomic<int> abandonedOpens{0};

// One SQLDriverConnect, run on a thread of its own so that no caller waits
// longer than the bound. The handles go back to the caller when the driver
// answers in time; otherwise the thread frees them whenever it returns.
struct PendingOpen {
    odbc::Handle environment;
    odbc::Handle connection;
    QByteArray text;
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    bool abandoned = false;
    std::exception_ptr failure;
};

void driverConnect(const std::shared_ptr<PendingOpen>& open)
{
    // The length parameter is 16 bits and would wrap past 65,535 bytes,
    // cutting the string short: the driver measures it up to its end instead.
    const SQLRETURN rc = SQLDriverConnect(open->connection.get(), nullptr, sqlText(open->text),
                                          SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    std::exception_ptr failure;
    try {
        odbc::Check(rc, open->connection, "open the connection");
    } catch (...) {
        failure = std::current_exception();
    }
    const std::lock_guard lock(open->mutex);
    if (open->abandoned) {
        if (!failure)
            SQLDisconnect(open->connection.get());
        open->connection.reset();
        open->environment.reset();
        --abandonedOpens;
        return;
    }
    open->failure = failure;
    open->done = true;
    open->answered.notify_one();
}

// True when the driver answered within the bound. Whatever ends the wait
// first (the bound, or the program ending while the window is served)
// leaves the attempt to its thread.
bool awaitAnswer(PendingOpen& open, std::chrono::milliseconds bound, EventPump* events,
                 const std::stop_token* stop)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + bound;
    std::unique_lock lock(open.mutex);
    const auto abandon = qScopeGuard([&] {
        if (!lock.owns_lock())
            lock.lock();
        if (!open.done) {
            open.abandoned = true;
            ++abandonedOpens;
        }
    });
    while (!open.done) {
        const auto now = Clock::now();
        if (now >= deadline)
            return false;
        if (stop && stop->stop_requested())
            return false;
        if (!events && !stop) {
            open.answered.wait_until(lock, deadline);
            continue;
        }
        open.answered.wait_until(
            lock, std::min(deadline, now + std::chrono::milliseconds(kEventPauseIntervalMs)));
        if (open.done || !events)
            continue;
        lock.unlock();
        events->processEvents();
        lock.lock();
    }
    return true;
}

void notOpen()
{
    throw OdbcError(QStringLiteral("08003"), 0,
                    QStringLiteral("Operation is not allowed when the connection is closed."));
}

}  // namespace

std::chrono::milliseconds OpenTimeout() { return std::chrono::milliseconds(openTimeoutMs.load()); }

void SetOpenTimeout(std::chrono::milliseconds bound) { openTimeoutMs = bound.count(); }

int AbandonedOpens() { return abandonedOpens.load(); }

Connection::Connection() { allocateHandles(); }

void Connection::allocateHandles()
{
    connection_.reset();
    environment_ = allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE, "create the environment");
    odbc::Check(SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION,
                              reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
                environment_, "set the ODBC version");
    connection_ = allocate(SQL_HANDLE_DBC, environment_.get(), "create the connection");
}

Connection::~Connection()
{
    try {
        close();
    } catch (...) {
    }
}

void Connection::setMode(int mode) { mode_ = mode; }

void Connection::open(const QString& connectionString, EventPump* events)
{
    openWithin(connectionString, events, nullptr);
}

void Connection::open(const QString& connectionString, std::stop_token stop)
{
    openWithin(connectionString, nullptr, &stop);
}

void Connection::openWithin(const QString& connectionString, EventPump* events, const std::stop_token* stop)
{
    if (connected_)
        close();
    // An attempt given up on earlier took the handles with it.
    if (!connection_)
        allocateHandles();
    if (mode_ == kModeReadWrite) {
        // Drivers that do not know the attribute still open read-write.
        SQLSetConnectAttr(connection_.get(), SQL_ATTR_ACCESS_MODE,
                          reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_WRITE), 0);
    }
    const std::chrono::milliseconds bound = OpenTimeout();
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(bound).count();
    // Drivers that honour it give up by themselves; the wait below does not
    // count on it.
    SQLSetConnectAttr(connection_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), 0);

    auto pending = std::make_shared<PendingOpen>();
    pending->text = connectionString.toUtf8();
    pending->environment = std::move(environment_);
    pending->connection = std::move(connection_);
    std::thread worker;
    try {
        worker = std::thread(driverConnect, pending);
    } catch (...) {
        environment_ = std::move(pending->environment);
        connection_ = std::move(pending->connection);
        throw;
    }
    // An attempt that answered in time is waited for to its very end, so no
    // thread of it outlives the caller (a program that then ends would race
    // it); one given up on is left to finish by itself.
    bool answered = false;
    const auto release = qScopeGuard([&] {
        if (answered)
            worker.join();
        else
            worker.detach();
    });
    answered = awaitAnswer(*pending, bound, events, stop);
    if (!answered && stop && stop->stop_requested())
        throw OdbcError(QStringLiteral("HY008"), 0, QStringLiteral("The connection attempt was stopped."));
    if (!answered)
        throw OdbcError(QStringLiteral("HYT00"), 0,
                        QStringLiteral("The connection timed out: the server did not answer "
                                       "within %1 seconds.")
                            .arg(seconds));
    environment_ = std::move(pending->environment);
    connection_ = std::move(pending->connection);
    if (pending->failure)
        std::rethrow_exception(pending->failure);
    connected_ = true;
    cancelReachesServer_ = CancelReachesServer(connection_);
}

std::shared_ptr<odbc::Handle> Connection::newStatement()
{
    if (!connected_)
        notOpen();
    auto statement = std::make_shared<odbc::Handle>(
        allocate(SQL_HANDLE_STMT, connection_.get(), "create a statement"));
    std::erase_if(statements_, [](const auto& weak) { return weak.expired(); });
    statements_.push_back(statement);
    return statement;
}

void Connection::execute(const QString& sql)
{
    if (!executeStatement_ || !*executeStatement_)
        executeStatement_ = newStatement();
    odbc::Handle& statement = *executeStatement_;
    QByteArray text = sql.toUtf8();
    const SQLINTEGER length = sqlLength(text);
    {
        const Running running(*this, executeStatement_);
        // Diagnostics first: the next call on the handle clears them.
        running.check(SQLExecDirect(statement.get(), sqlText(text), length), statement, "run the statement");
    }
    // Any result is discarded; the handle is ready for the next statement.
    SQLFreeStmt(statement.get(), SQL_CLOSE);
}

void Connection::setAutoCommit(bool on)
{
    if (!connected_)
        notOpen();
    const SQLULEN value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    odbc::Check(SQLSetConnectAttr(connection_.get(), SQL_ATTR_AUTOCOMMIT,
                                  reinterpret_cast<SQLPOINTER>(value), 0),
                connection_, "set the commit mode");
}

void Connection::commit() { endTransaction(SQL_COMMIT, "commit"); }

void Connection::rollback() { endTransaction(SQL_ROLLBACK, "roll back"); }

void Connection::endTransaction(SQLSMALLINT completion, const char* action)
{
    if (!connected_)
        notOpen();
    const Running running(*this, nullptr);
    running.check(SQLEndTran(SQL_HANDLE_DBC, connection_.get(), completion), connection_, action);
}

bool Connection::cancel(std::chrono::milliseconds olderThan)
{
    const std::lock_guard cancelling(cancelMutex_);
    std::shared_ptr<odbc::Handle> statement;
    {
        const std::lock_guard lock(runningMutex_);
        if (!running_ || std::chrono::steady_clock::now() - running_->started < olderThan)
            return false;
        if (running_->cancelled || !cancelReachesServer_)
            return true;
        running_->cancelled = true;
        statement = running_->statement;
    }
    // Outside the lock the sender takes: a driver whose cancel waits for the
    // server holds up no statement's end.
    if (!statement)
        SQLCancelHandle(SQL_HANDLE_DBC, connection_.get());
    else if (*statement)
        SQLCancel(statement->get());
    return true;
}

Connection::Running::Running(Connection& connection, std::shared_ptr<odbc::Handle> statement)
    : connection_(connection)
{
    const std::lock_guard lock(connection_.runningMutex_);
    connection_.running_ = InProgress{std::move(statement), std::chrono::steady_clock::now()};
}

Connection::Running::~Running()
{
    const std::lock_guard lock(connection_.runningMutex_);
    connection_.running_.reset();
}

void Connection::Running::check(SQLRETURN rc, const odbc::Handle& handle, const char* action) const
{
    try {
        odbc::Check(rc, handle, action);
    } catch (OdbcError& failure) {
        const std::lock_guard lock(connection_.runningMutex_);
        if (connection_.running_ && connection_.running_->cancelled)
            failure.markCancelled();
        throw;
    }
}

ResultSet Connection::openTableSchema()
{
    const auto statement = newStatement();
    odbc::Check(SQLTables(statement->get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0),
                *statement, "read the table catalogue");
    return ResultSet(statement, true);
}

ResultSet Connection::openColumnSchema(const QString& table)
{
    const auto statement = newStatement();
    QByteArray name = table.toUtf8();
    odbc::Check(SQLColumns(statement->get(), nullptr, 0, nullptr, 0, sqlText(name), SQL_NTS, nullptr, 0),
                *statement, "read the column catalogue");
    return ResultSet(statement, true);
}

ResultSet Connection::openQuery(const QString& sql)
{
    const auto statement = newStatement();
    // Static cursor, as asked for; drivers that cannot give one pick another.
    SQLSetStmtAttr(statement->get(), SQL_ATTR_CURSOR_TYPE,
                   reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC), 0);
    QByteArray text = sql.toUtf8();
    // Only the columns are wanted: preparing gives them without fetching
    // every row of a large table.
    odbc::Check(SQLPrepare(statement->get(), sqlText(text), sqlLength(text)),
                *statement, "prepare the query");
    SQLSMALLINT columns = 0;
    odbc::Check(SQLNumResultCols(statement->get(), &columns), *statement, "count the columns");
    if (columns == 0) {
        odbc::Check(SQLExecute(statement->get()), *statement, "run the query");
    }
    return ResultSet(statement, false);
}

void Connection::close()
{
    const std::lock_guard cancelling(cancelMutex_);
    for (auto& weak : statements_) {
        if (auto statement = weak.lock())
            statement->reset();
    }
    statements_.clear();
    executeStatement_.reset();
    if (connected_) {
        connected_ = false;
        odbc::Check(SQLDisconnect(connection_.get()), connection_, "close the connection");
    }
}

ResultSet::ResultSet(std::shared_ptr<odbc::Handle> statement, bool fetchRows)
    : statement_(std::move(statement))
{
    const int count = fieldCount();
    for (int column = 1; column <= count; ++column) {
        SQLCHAR name[512] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        odbc::Check(SQLDescribeCol(statement_->get(), static_cast<SQLUSMALLINT>(column), name,
                                   sizeof name, &nameLength, &type, &size, &digits, &nullable),
                    *statement_, "describe a column");
        columnNames_.push_back(QString::fromUtf8(reinterpret_cast<const char*>(name)));
    }
    if (fetchRows) {
        eof_ = false;
        moveNext();
    }
}

int ResultSet::fieldCount() const
{
    if (!statement_ || !*statement_)
        notOpen();
    SQLSMALLINT columns = 0;
    odbc::Check(SQLNumResultCols(statement_->get(), &columns), *statement_, "count the columns");
    return columns;
}

void ResultSet::moveNext()
{
    if (eof_)
        return;
    if (!statement_ || !*statement_)
        notOpen();
    const SQLRETURN rc = SQLFetch(statement_->get());
    if (rc == SQL_NO_DATA) {
        eof_ = true;
        row_.clear();
        return;
    }
    odbc::Check(rc, *statement_, "read a row");
    row_.assign(columnNames_.size(), QString());
    for (size_t column = 0; column < columnNames_.size(); ++column) {
        QByteArray value;
        char chunk[1024];
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN got = SQLGetData(statement_->get(), static_cast<SQLUSMALLINT>(column + 1),
                                             SQL_C_CHAR, chunk, sizeof chunk, &indicator);
            if (got == SQL_NO_DATA || indicator == SQL_NULL_DATA)
                break;
            odbc::Check(got, *statement_, "read a value");
            const qsizetype available = (indicator == SQL_NO_TOTAL || indicator >= SQLLEN(sizeof chunk))
                                            ? qsizetype(sizeof chunk - 1)
                                            : qsizetype(indicator);
            value.append(chunk, available);
            if (got == SQL_SUCCESS)
                break;
        }
        row_[column] = QString::fromUtf8(value);
    }
}

int ResultSet::columnIndex(const QString& columnName) const
{
    for (size_t i = 0; i < columnNames_.size(); ++i) {
        if (columnNames_[i].compare(columnName, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    throw OdbcError(QStringLiteral("42S22"), 0,
                    QStringLiteral("Item cannot be found in the collection corresponding to the "
                                   "requested name or ordinal: ")
                        + columnName);
}

QString ResultSet::value(const QString& columnName) const
{
    const int index = columnIndex(columnName);
    if (eof_)
        throw OdbcError(QStringLiteral("24000"), 0,
                        QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                       "deleted."));
    return row_[static_cast<size_t>(index)];
}

void ResultSet::close()
{
    if (statement_)
        statement_->reset();
    statement_.reset();
    eof_ = true;
}

}  // namespace quorvane
