#include "import/SqlTexts.h"

#include "import/TextRules.h"

#include <algorithm>

namespace quorvane {

namespace {

const QString kQuote = QStringLiteral("\"");

// INSERT INTO "name", and ("A","B") when the columns are named.
QString InsertInto(const QString& tableName, const QStringList& columnNames)
{
    QString target = QStringLiteral("INSERT INTO ") + QuoteTableName(tableName);
    if (columnNames.isEmpty())
        return target;
    QStringList quoted;
    for (const QString& name : columnNames)
        quoted << QuoteTableName(name);
    return target + QLatin1Char('(') + quoted.join(QLatin1Char(',')) + QLatin1Char(')');
}

}  // namespace

QString QuoteTableName(const QString& tableName)
{
    // Doubling keeps a quote inside the name from ending the identifier.
    return kQuote + QString(tableName).replace(kQuote, QStringLiteral("\"\"")) + kQuote;
}

QString BuildCreateStatement(const QString& tableName, const QStringList& columns)
{
    QString statement = QStringLiteral("CREATE TABLE ") + QuoteTableName(tableName) + QLatin1Char('(');
    for (const QString& column : columns) {
        // Tested before filtering: a name of punctuation only still gives a column.
        if (!column.isEmpty())
            statement += kQuote + KeepAlphanumeric(column) + QStringLiteral("\" LONG VARCHAR, ");
    }
    // Without any column this cuts into the opening; the database refuses
    // that statement, which is how such a file is reported.
    statement.chop(2);
    statement += QStringLiteral(");");
    return statement;
}

RowValues BuildRowValues(const QStringList& fields, RowStyle style, const std::vector<bool>* quoted)
{
    // Read with quoted fields, a value's quotes are its own, and "" is a text.
    const bool removeQuotes = style != RowStyle::HeaderColumns && !quoted;
    const auto wasQuoted = [&](qsizetype i) { return quoted && size_t(i) < quoted->size() && (*quoted)[size_t(i)]; };
    RowValues values;
    values.reserve(size_t(fields.size()));
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString& field = fields.at(i);
        const bool empty = removeQuotes
                               ? std::all_of(field.cbegin(), field.cend(),
                                             [](QChar c) { return c == QLatin1Char('"'); })
                               : field.isEmpty() && !wasQuoted(i);
        if (empty && i > 0)
            values.emplace_back(std::nullopt);
        else if (removeQuotes && field.contains(QLatin1Char('"')))
            values.emplace_back(QString(field).remove(QLatin1Char('"')));
        else
            values.emplace_back(field);
    }
    return values;
}

QString BuildRowStatement(const QString& tableName, const RowValues& values, const QStringList& columnNames)
{
    // Built in one pass into room reserved up front: this runs once per data line.
    const QString target = InsertInto(tableName, columnNames);
    qsizetype room = target.size() + 12;
    for (const std::optional<QString>& value : values)
        room += (value ? value->size() : 4) + 4;
    QString statement;
    statement.reserve(room + room / 8);
    statement += target;
    statement += QLatin1String(" VALUES(");
    for (const std::optional<QString>& value : values) {
        if (!value) {
            statement += QLatin1String("NULL,");
            continue;
        }
        statement += QLatin1Char('\'');
        for (const QChar c : *value) {
            if (c == QLatin1Char('\''))
                statement += QLatin1Char('\'');
            statement += c;
        }
        statement += QLatin1String("',");
    }
    statement.chop(1);
    statement += QLatin1String(");");
    return statement;
}

QString BuildRowStatement(const QString& tableName, const QStringList& fields, RowStyle style,
                          const std::vector<bool>* quoted)
{
    return BuildRowStatement(tableName, BuildRowValues(fields, style, quoted));
}

QString BuildColumnCountQuery(const QString& tableName)
{
    return QStringLiteral("SELECT * FROM ") + QuoteTableName(tableName);
}

QString ColumnNamePrompt(int columnNumber)
{
    return QStringLiteral("Enter name for column #") + QString::number(columnNumber) + QLatin1Char(':');
}

QString BuildParameterInsert(const QString& tableName, int columns, const QStringList& columnNames)
{
    QString markers = QStringLiteral("?,").repeated(std::max(columns, 1));
    markers.chop(1);
    return InsertInto(tableName, columnNames) + QStringLiteral(" VALUES(") + markers + QLatin1Char(')');
}

}  // namespace quorvane
