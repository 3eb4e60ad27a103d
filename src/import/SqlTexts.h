#pragma once

#include "db/BatchInsert.h"
#include "text/ColumnTypes.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quorvane {

enum class RowStyle { HeaderColumns, PromptedColumns, AppendRows };

// CREATE TABLE "name"("Col" LONG VARCHAR, ...); columns from non-empty texts,
// letters and digits only.
QString BuildCreateStatement(const QString& tableName, const QStringList& columns);
// The same with each column's type (one per name; LONG VARCHAR where none),
// and with upperCase the column names upper-cased after the filter.
using ColumnTypes = std::vector<ColumnType>;
QString BuildCreateStatement(const QString& tableName, const QStringList& columns, const ColumnTypes& types,
                             bool upperCase);

// The name CREATE TABLE gives the column of a header field (or an answer to
// the prompt): letters and digits only, upper-cased with upperCase. None for
// an empty field, which gets no column; a field of other characters only
// gives an empty name, which the database refuses.
std::optional<QString> CreatedColumnName(const QString& field, bool upperCase);

// One value per field, nullopt for NULL: the one rule for what a data line
// stores, whether it is sent as a literal INSERT or as parameters. The
// first field is never NULL. quoted, when given, holds a flag per field of
// a file read with quoted fields: then every value is kept as read, in
// every style (no double quote is dropped), and an empty field that was
// written "" is an empty text.
RowValues BuildRowValues(const QStringList& fields, RowStyle style, const std::vector<bool>* quoted = nullptr);

// The values for typed columns: an empty one is NULL (the first too), a
// date is sent in ISO form. A value that does not fit its column's type is
// left as it is, for the database to refuse.
void ApplyColumnTypes(RowValues& values, const ColumnTypes& types);

// INSERT INTO "name" VALUES('a',NULL,...) with the values above. With
// types, a number literal in a number column goes unquoted. With column
// names, INSERT INTO "name"("B","A") VALUES(...), the values filling those
// columns in that order and the others taking their defaults.
QString BuildRowStatement(const QString& tableName, const RowValues& values, const ColumnTypes* types = nullptr,
                          const QStringList& columnNames = {});
QString BuildRowStatement(const QString& tableName, const QStringList& fields, RowStyle style,
                          const std::vector<bool>* quoted = nullptr);

// SELECT * FROM "name": only the number of its columns is used.
QString BuildColumnCountQuery(const QString& tableName);

// "Enter name for column #" + number + ":"
QString ColumnNamePrompt(int columnNumber);

// A table name as a delimited identifier, with inner double quotes doubled.
QString QuoteTableName(const QString& tableName);

// INSERT INTO "name" VALUES(?,?,...): one parameter marker per column,
// with the column names as above when given.
QString BuildParameterInsert(const QString& tableName, int columns, const QStringList& columnNames = {});

}  // namespace quorvane
