#include "import/SqlTexts.h"

#include "text/TextRules.h"

#include <algorithm>

namespace quorvane {

namespace {

const QString kQuote = QStringLiteral("\"");

void AppendLiteral(QString& statement, QStringView value)
{
    statement += QLatin1Char('\'');
    for (const QChar c : value) {
        if (c == QLatin1Char('\''))
            statement += QLatin1Char('\'');
        statement += c;
    }
    statement += QLatin1Char('\'');
}

// DB2 takes a string constant of at most 32,672 bytes: a longer value for a
// CLOB column goes as constants of at most this many UTF-16 units (24,000
// UTF-8 bytes), joined onto a CLOB.
constexpr qsizetype kLiteralChunk = 8000;

QString LongTextExpression(QStringView value, const ColumnType& type)
{
    QString expression = QStringLiteral("CAST(");
    for (qsizetype from = 0; from < value.size();) {
        qsizetype length = std::min(kLiteralChunk, value.size() - from);
        // A surrogate pair stays whole.
        if (from + length < value.size() && value[from + length - 1].isHighSurrogate())
            --length;
        AppendLiteral(expression, value.sliced(from, length));
        if (from == 0)
            expression += QStringLiteral(" AS ") + type.sqlName() + QLatin1Char(')');
        from += length;
        if (from < value.size())
            expression += QStringLiteral(" || ");
    }
    return expression;
}

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

std::optional<QString> CreatedColumnName(const QString& field, bool upperCase)
{
    // Tested before filtering: a name of punctuation only still gives a column.
    if (field.isEmpty())
        return std::nullopt;
    const QString name = KeepAlphanumeric(field);
    return upperCase ? name.toUpper() : name;
}

QString BuildCreateStatement(const QString& tableName, const QStringList& columns)
{
    return BuildCreateStatement(tableName, columns, {}, false);
}

QString BuildCreateStatement(const QString& tableName, const QStringList& columns, const ColumnTypes& types,
                             bool upperCase)
{
    QString statement = QStringLiteral("CREATE TABLE ") + QuoteTableName(tableName) + QLatin1Char('(');
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const std::optional<QString> name = CreatedColumnName(columns.at(i), upperCase);
        if (!name)
            continue;
        statement += kQuote + *name + kQuote + QLatin1Char(' ');
        statement += size_t(i) < types.size() ? types[size_t(i)].sqlName() : QStringLiteral("LONG VARCHAR");
        statement += QStringLiteral(", ");
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

void ApplyColumnTypes(RowValues& values, const ColumnTypes& types)
{
    const size_t count = std::min(values.size(), types.size());
    for (size_t i = 0; i < count; ++i) {
        std::optional<QString>& value = values[i];
        const ColumnType& type = types[i];
        if (!type.isTyped() || !value)
            continue;
        if (value->isEmpty())
            value.reset();
        else if (!type.isNumber())
            if (std::optional<QString> iso = IsoDateValue(*value, type))
                value = std::move(iso);
    }
}

QString BuildRowStatement(const QString& tableName, const RowValues& values, const ColumnTypes* types,
                          const QStringList& columnNames)
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
    for (size_t i = 0; i < values.size(); ++i) {
        const std::optional<QString>& value = values[i];
        if (!value) {
            statement += QLatin1String("NULL,");
            continue;
        }
        // Checked here, where it goes unquoted: the rows are read again
        // after the detection, and only a plain number may go bare.
        if (types && i < types->size() && (*types)[i].isNumber() && IsNumberLiteral(*value)) {
            statement += *value;
            statement += QLatin1Char(',');
            continue;
        }
        if (types && i < types->size() && (*types)[i].kind == ColumnKind::Clob && value->size() > kLiteralChunk) {
            statement += LongTextExpression(*value, (*types)[i]);
            statement += QLatin1Char(',');
            continue;
        }
        AppendLiteral(statement, *value);
        statement += QLatin1Char(',');
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
