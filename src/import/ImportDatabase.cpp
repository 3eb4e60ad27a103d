#include "import/ImportDatabase.h"

#include "db/Connection.h"
#include "db/OdbcError.h"
#include "import/SqlTexts.h"

#include <QTextStream>

namespace quorvane {

OdbcImportDatabase::OdbcImportDatabase(EventPump* events)
    : connection_(std::make_unique<Connection>()), events_(events)
{
}

OdbcImportDatabase::~OdbcImportDatabase() = default;

void OdbcImportDatabase::open(const QString& connectionString)
{
    connection_->setMode(Connection::kModeReadWrite);
    connection_->open(connectionString, events_);
}

void OdbcImportDatabase::execute(const QString& sql) { connection_->execute(sql); }

std::optional<int> OdbcImportDatabase::columnCount(const QString& query)
{
    // The result set stays open until the connection closes at the end of the file.
    return connection_->openQuery(query).fieldCount();
}

std::optional<std::vector<TableColumn>> OdbcImportDatabase::tableColumns(const QString& table)
{
    return ReadTableColumns(*connection_, table);
}

void OdbcImportDatabase::close()
{
    batch_.reset();
    connection_->close();
}

void OdbcImportDatabase::beginBatches(const QString& table, int columns, const QStringList& columnNames)
{
    batch_.reset();
    batch_ = std::make_unique<BatchInsert>(*connection_, BuildParameterInsert(table, columns, columnNames),
                                           columns);
    connection_->setAutoCommit(false);
}

void OdbcImportDatabase::sendBatch(const std::vector<ParameterRow>& rows)
{
    if (!batch_)
        throw OdbcError(QStringLiteral("HY010"), 0, QStringLiteral("No insert is prepared."));
    batch_->send(rows);
}

void OdbcImportDatabase::commit() { connection_->commit(); }

void OdbcImportDatabase::rollback() { connection_->rollback(); }

void OdbcImportDatabase::endBatches()
{
    batch_.reset();
    // Turning autocommit on would commit them: rows inserted are rows the
    // caller committed, never more.
    connection_->rollback();
    connection_->setAutoCommit(true);
}

void OdbcImportDatabase::cancel() { connection_->cancel(); }

void PrintingImportDatabase::execute(const QString& sql) { out_ << sql << '\n'; }

void PrintingImportDatabase::sendBatch(const std::vector<ParameterRow>& rows)
{
    for (const ParameterRow& row : rows)
        out_ << BuildRowStatement(table_, row, columnNames_) << '\n';
}

std::optional<int> PrintingImportDatabase::columnCount(const QString& query)
{
    out_ << query << '\n';
    return std::nullopt;
}

}  // namespace quorvane
