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
    // Only the columns are wanted: the prepared query is freed at once, so
    // that nothing of it stays open on the connection the next files share.
    return connection_->openQuery(query).fieldCount();
}

void OdbcImportDatabase::close()
{
    batch_.reset();
    connection_->close();
}

void OdbcImportDatabase::beginBatches(const QString& table, int columns)
{
    batch_.reset();
    batch_ = std::make_unique<BatchInsert>(*connection_, BuildParameterInsert(table, columns), columns);
    connection_->setAutoCommit(false);
}

void OdbcImportDatabase::sendBatch(const std::vector<ParameterRow>& rows)
{
    if (!batch_)
        throw OdbcError(QStringLiteral("HY010"), 0, QStringLiteral("No insert is prepared."));
    uncommitted_ = true;
    batch_->send(rows);
}

void OdbcImportDatabase::commit()
{
    connection_->commit();
    uncommitted_ = false;
}

void OdbcImportDatabase::rollback()
{
    connection_->rollback();
    uncommitted_ = false;
}

void OdbcImportDatabase::endBatches()
{
    batch_.reset();
    // Turning autocommit on would commit them: rows inserted are rows the
    // caller committed, never more. After a commit there is nothing to roll
    // back, and a round trip per file is saved.
    if (uncommitted_)
        rollback();
    connection_->setAutoCommit(true);
}

void OdbcImportDatabase::cancel() { connection_->cancel(); }

void PrintingImportDatabase::execute(const QString& sql) { out_ << sql << '\n'; }

void PrintingImportDatabase::sendBatch(const std::vector<ParameterRow>& rows)
{
    for (const ParameterRow& row : rows)
        out_ << BuildRowStatement(table_, row) << '\n';
}

std::optional<int> PrintingImportDatabase::columnCount(const QString& query)
{
    out_ << query << '\n';
    return std::nullopt;
}

}  // namespace quorvane
