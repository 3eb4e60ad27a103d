#include "import/ImportDatabase.h"

#include "db/Connection.h"

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

void OdbcImportDatabase::close() { connection_->close(); }

void PrintingImportDatabase::execute(const QString& sql) { out_ << sql << '\n'; }

std::optional<int> PrintingImportDatabase::columnCount(const QString& query)
{
    out_ << query << '\n';
    return std::nullopt;
}

}  // namespace quorvane
