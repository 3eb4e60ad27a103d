#include "import/SqlTexts.h"

#include "import/TextRules.h"

namespace quorvane {

namespace {

const QString kQuote = QStringLiteral("\"");
const QString kApostrophe = QStringLiteral("'");

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

QString BuildRowStatement(const QString& tableName, const QStringList& fields, RowStyle style)
{
    QString statement = QStringLiteral("INSERT INTO ") + QuoteTableName(tableName) + QStringLiteral(" VALUES(");
    const bool removeQuotes = style != RowStyle::HeaderColumns;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QString value = fields.at(i);
        if (removeQuotes)
            value.remove(QLatin1Char('"'));
        if (value.isEmpty() && i > 0) {
            statement += QStringLiteral("NULL,");
        } else {
            statement += kApostrophe + value.replace(kApostrophe, QStringLiteral("''")) +
                         QStringLiteral("',");
        }
    }
    statement.chop(1);
    statement += QStringLiteral(");");
    return statement;
}

QString BuildColumnCountQuery(const QString& tableName)
{
    return QStringLiteral("SELECT * FROM ") + QuoteTableName(tableName);
}

QString ColumnNamePrompt(int columnNumber)
{
    return QStringLiteral("Enter name for column #") + QString::number(columnNumber) + QLatin1Char(':');
}

}  // namespace quorvane
