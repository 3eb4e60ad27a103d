// Every table name, column and value must come back from the statement
// text exactly: read back by an independent parser, a value equals its
// field (without double quotes outside the header style), an empty first
// field is '' and a later one NULL, and nothing follows the closing ");".
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "SqlLiteralParser.h"

#include "import/SqlTexts.h"
#include "text/TextRules.h"

using namespace quorvane;

namespace {

void CheckRow(const QString& table, const QStringList& fields, RowStyle style)
{
    const QString sql = BuildRowStatement(table, fields, style);
    const auto parsed = fuzz::ParseInsert(sql);
    FUZZ_CHECK(parsed, sql);
    FUZZ_CHECK(parsed->table == table, sql);
    FUZZ_CHECK(parsed->values.size() == static_cast<size_t>(fields.size()), sql);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QString field = fields[i];
        if (style != RowStyle::HeaderColumns)
            field.remove(QLatin1Char('"'));
        const std::optional<QString> expected =
            field.isEmpty() && i > 0 ? std::nullopt : std::optional<QString>(field);
        FUZZ_CHECK(parsed->values[static_cast<size_t>(i)] == expected, sql);
    }
    FUZZ_CHECK(BuildColumnCountQuery(table) == QStringLiteral("SELECT * FROM ") + QuoteTableName(table), table);
}

void CheckCreate(const QString& table, const QStringList& columns)
{
    QStringList expected;
    for (const QString& column : columns)
        if (!column.isEmpty())
            expected << KeepAlphanumeric(column);
    if (expected.isEmpty())
        return;  // no column: a statement the database refuses, by design
    const QString sql = BuildCreateStatement(table, columns);
    const auto parsed = fuzz::ParseCreate(sql);
    FUZZ_CHECK(parsed, sql);
    FUZZ_CHECK(parsed->table == table, sql);
    FUZZ_CHECK(parsed->columns == expected, sql);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const auto style = static_cast<RowStyle>(input.byte() % 3);
    const QString table = input.shortText(12);
    // Fields are cut at U+0001 so that every other character, quotes and
    // separators included, can stand inside a value.
    const QStringList fields = QString::fromUtf8(input.rest()).split(QChar(1));
    CheckRow(table, fields, style);
    CheckCreate(table, fields);
    return 0;
}
