#include "import/ImportDatabase.h"

#include "db/Connection.h"
#include "db/OdbcError.h"
#include "import/SqlTexts.h"

#include <QTextStream>

namespace quorvane {

namespace {

// A typed column's parameter is bound as its SQL type, with the same text
// that row mode sends, so the driver converts it as the server would.
ParameterType BindingOf(const ColumnType& type)
{
    switch (type.kind) {
    case ColumnKind::Integer:
        return {SQL_INTEGER, 10, 0};
    case ColumnKind::BigInt:
        return {SQL_BIGINT, 19, 0};
    case ColumnKind::Decimal:
        return {SQL_DECIMAL, SQLULEN(type.precision), SQLSMALLINT(type.scale)};
    case ColumnKind::Double:
        return {SQL_DOUBLE, 15, 0};
    case ColumnKind::Date:
        return {SQL_TYPE_DATE, 10, 0};
    case ColumnKind::Timestamp:
        return {SQL_TYPE_TIMESTAMP, 26, 6};
    case ColumnKind::Varchar:
        return {SQL_VARCHAR, 0, 0};
    case ColumnKind::Clob:
        break;
    }
    return {SQL_LONGVARCHAR, 0, 0};
}

}  // namespace

OdbcImportDatabase::OdbcImportDatabase(std::stop_token stop)
    : connection_(std::make_unique<Connection>()), stop_(std::move(stop))
{
}

OdbcImportDatabase::~OdbcImportDatabase() = default;

void OdbcImportDatabase::open(const QString& connectionString)
{
    connection_->setMode(Connection::kModeReadWrite);
    connection_->open(connectionString, stop_);
}

void OdbcImportDatabase::execute(const QString& sql) { connection_->execute(sql); }

std::optional<int> OdbcImportDatabase::columnCount(const QString& query)
{
    // Only the columns are wanted: the prepared query is freed at once, so
    // that nothing of it stays open on the connection the next files share.
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
    std::vector<ParameterType> types;
    for (const ColumnType& type : columnTypes_)
        types.push_back(BindingOf(type));
    batch_ = std::make_unique<BatchInsert>(*connection_, BuildParameterInsert(table, columns, columnNames), columns,
                                           std::move(types));
    connection_->setAutoCommit(false);
}

void OdbcImportDatabase::insertBatch(const std::vector<RowValues>& rows)
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

bool OdbcImportDatabase::cancel(std::chrono::milliseconds olderThan) { return connection_->cancel(olderThan); }

void PrintingImportDatabase::execute(const QString& sql) { out_ << sql << '\n'; }

void PrintingImportDatabase::insertBatch(const std::vector<RowValues>& rows)
{
    for (const RowValues& row : rows)
        out_ << BuildRowStatement(table_, row, &columnTypes_, columnNames_) << '\n';
}

std::optional<int> PrintingImportDatabase::columnCount(const QString& query)
{
    // Ended like every other statement printed, so a tool such as DB2's
    // command line or Derby's ij can run the output as it is.
    out_ << query << ";\n";
    return std::nullopt;
}

}  // namespace quorvane
