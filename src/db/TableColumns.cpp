#include "db/TableColumns.h"

#include "db/Connection.h"

#include <optional>

namespace quorvane {

std::vector<TableColumn> ReadTableColumns(Connection& connection, const QString& table)
{
    ResultSet rows = connection.openColumnSchema(table);
    std::vector<TableColumn> columns;
    std::optional<QString> schema;
    for (; !rows.eof(); rows.moveNext()) {
        if (rows.value(QStringLiteral("TABLE_NAME")) != table)
            continue;
        const QString owner = rows.value(QStringLiteral("TABLE_CAT")) + QLatin1Char('.')
                              + rows.value(QStringLiteral("TABLE_SCHEM"));
        if (!schema)
            schema = owner;
        else if (owner != *schema)
            continue;
        // SQL_NO_NULLS is 0. No default reads as an empty COLUMN_DEF, or as
        // the text NULL from some drivers (SQLite's); a default of the empty
        // text reads as its two quotes.
        const QString columnDefault = rows.value(QStringLiteral("COLUMN_DEF"));
        const bool noDefault = columnDefault.isEmpty() || columnDefault.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0;
        columns.push_back({rows.value(QStringLiteral("COLUMN_NAME")),
                           rows.value(QStringLiteral("NULLABLE")) == QLatin1String("0") && noDefault});
    }
    rows.close();
    return columns;
}

}  // namespace quorvane
