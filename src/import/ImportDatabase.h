#pragma once

#include "db/BatchInsert.h"
#include "db/TableColumns.h"
#include "import/SqlTexts.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

class QTextStream;

namespace quorvane {

class Connection;

// What the import run needs of the database: open, send, ask for a
// table's column count, close. One thread uses it at a time, the run's;
// only cancel() comes from another.
class ImportDatabase {
public:
    virtual ~ImportDatabase() = default;
    // Opens for reading and writing with the connection string.
    virtual void open(const QString& connectionString) = 0;
    virtual void execute(const QString& sql) = 0;
    // The number of columns of the query's result; nothing when it cannot
    // be known without a database (a dry run).
    virtual std::optional<int> columnCount(const QString& query) = 0;
    // The table's columns from the catalogue; nothing without a database.
    virtual std::optional<std::vector<TableColumn>> tableColumns(const QString& table) = 0;
    virtual void close() = 0;
    // Fast load: rows of one table sent in batches, each batch one
    // transaction. beginBatches prepares the INSERT (into the named
    // columns, when any are named) and turns autocommit off; insertBatch
    // inserts rows without committing them and throws when any of them
    // fails; endBatches turns autocommit back on.
    virtual void beginBatches(const QString& table, int columns, const QStringList& columnNames) = 0;
    virtual void insertBatch(const std::vector<RowValues>& rows) = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual void endBatches() = 0;
    // The types of the table's columns (none: all text) for the batches
    // begun from now on: each parameter is bound as its column's type.
    virtual void useColumnTypes(const ColumnTypes& types) { columnTypes_ = types; }
    // From any thread: asks the statement under way, if it has run for
    // olderThan, to end now. True when such a statement is in progress.
    virtual bool cancel(std::chrono::milliseconds /*olderThan*/) { return false; }

protected:
    ColumnTypes columnTypes_;
};

// The real thing: one ODBC connection, which the files of a run share. An
// open that waits for the server ends at the run's stop.
class OdbcImportDatabase final : public ImportDatabase {
public:
    explicit OdbcImportDatabase(std::stop_token stop = {});
    ~OdbcImportDatabase() override;
    void open(const QString& connectionString) override;
    void execute(const QString& sql) override;
    std::optional<int> columnCount(const QString& query) override;
    std::optional<std::vector<TableColumn>> tableColumns(const QString& table) override;
    void close() override;
    void beginBatches(const QString& table, int columns, const QStringList& columnNames) override;
    void insertBatch(const std::vector<RowValues>& rows) override;
    void commit() override;
    void rollback() override;
    // Rows sent and not committed are rolled back first.
    void endBatches() override;
    bool cancel(std::chrono::milliseconds olderThan) override;

private:
    std::unique_ptr<Connection> connection_;
    // Declared after the connection: goes before it.
    std::unique_ptr<BatchInsert> batch_;
    std::stop_token stop_;
    bool uncommitted_ = false;  // rows sent since the last commit or rollback
};

// A dry run: every statement is written as one line, nothing is connected.
class PrintingImportDatabase final : public ImportDatabase {
public:
    explicit PrintingImportDatabase(QTextStream& out) : out_(out) {}
    void open(const QString&) override {}
    void execute(const QString& sql) override;
    std::optional<int> columnCount(const QString& query) override;
    std::optional<std::vector<TableColumn>> tableColumns(const QString&) override { return std::nullopt; }
    void close() override {}
    // Batches print as the INSERTs of one row each that row mode sends.
    void beginBatches(const QString& table, int, const QStringList& columnNames) override
    {
        table_ = table;
        columnNames_ = columnNames;
    }
    void insertBatch(const std::vector<RowValues>& rows) override;
    void commit() override {}
    void rollback() override {}
    void endBatches() override {}

private:
    QTextStream& out_;
    QString table_;
    QStringList columnNames_;
};

}  // namespace quorvane
