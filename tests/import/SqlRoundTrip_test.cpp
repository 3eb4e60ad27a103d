// Statements built from a generated file go to a real database and the values
// read back must be exactly the file's fields (quotes removed where the style
// says so, empty fields after the first as NULL).
#include "import/SqlTexts.h"
#include "text/TextRecords.h"
#include "text/TextRules.h"

#include "db/Connection.h"
#include "TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const QString kNull = QStringLiteral("<NULL>");

struct Row {
    QStringList fields;       // as written to the file
    QStringList keptQuotes;   // read back after a HeaderColumns insert
    QStringList noQuotes;     // read back after a PromptedColumns or AppendRows insert
};

// Each row's fields avoid every separator the cases use ("|~|", "§", "||").
std::vector<Row> DataRows()
{
    const QString q = QStringLiteral("\"");
    const QString longAscii(3000, QLatin1Char('L'));
    const QString longAccented(1000, QChar(0x00e9));  // 2000 bytes of UTF-8
    auto same = [](const QStringList& fields, const QStringList& back) { return Row{fields, back, back}; };
    return {
        same({QStringLiteral("Zürich"), QStringLiteral("8001"), QStringLiteral("zoë@example.ch"),
              QStringLiteral("東京 – 😀 ✓")},
             {QStringLiteral("Zürich"), QStringLiteral("8001"), QStringLiteral("zoë@example.ch"),
              QStringLiteral("東京 – 😀 ✓")}),
        same({QStringLiteral("O'Neil"), QStringLiteral("'"), QStringLiteral("''"), QStringLiteral("it's")},
             {QStringLiteral("O'Neil"), QStringLiteral("'"), QStringLiteral("''"), QStringLiteral("it's")}),
        same({QString(), QStringLiteral("b"), QString(), QString()},
             {QString(), QStringLiteral("b"), kNull, kNull}),
        same({QStringLiteral("a\tb"), QStringLiteral("\t"), QStringLiteral(" lead"), QStringLiteral("trail ")},
             {QStringLiteral("a\tb"), QStringLiteral("\t"), QStringLiteral(" lead"), QStringLiteral("trail ")}),
        same({QStringLiteral("C:\\temp\\"), QStringLiteral("\\"), QStringLiteral("\\'"),
              QStringLiteral("back\\\\slash\\n")},
             {QStringLiteral("C:\\temp\\"), QStringLiteral("\\"), QStringLiteral("\\'"),
              QStringLiteral("back\\\\slash\\n")}),
        Row{{q, q + q, q + q + q, q + QStringLiteral("x") + q},
            {q, q + q, q + q + q, q + QStringLiteral("x") + q},
            {QString(), kNull, kNull, QStringLiteral("x")}},
        same({QStringLiteral("x,'y"), QStringLiteral("a;b"), QStringLiteral("NULL"), QStringLiteral("--")},
             {QStringLiteral("x,'y"), QStringLiteral("a;b"), QStringLiteral("NULL"), QStringLiteral("--")}),
        same({QStringLiteral("%s%d"), QStringLiteral("/* c */"), QStringLiteral("?"), QStringLiteral("{fn now()}")},
             {QStringLiteral("%s%d"), QStringLiteral("/* c */"), QStringLiteral("?"), QStringLiteral("{fn now()}")}),
        same({longAscii, longAccented, QStringLiteral("x"), QStringLiteral("y")},
             {longAscii, longAccented, QStringLiteral("x"), QStringLiteral("y")}),
    };
}

struct RoundTripCase {
    const char* name;
    RowStyle style;
    const char* separator;
    const char* lineBreak;
    const char* table;
};

class SqlRoundTripDb : public ::testing::TestWithParam<RoundTripCase> {
protected:
    // The file: a header line, the data rows, blank lines between them, and a
    // final line break, as exported files usually are.
    QString writeSourceFile(const std::vector<Row>& rows)
    {
        const QString separator = QString::fromUtf8(GetParam().separator);
        const QString lineBreak = QString::fromUtf8(GetParam().lineBreak);
        QString text = QStringList{QStringLiteral("Name"), QStringLiteral("Zip Code"),
                                   QStringLiteral("e-mail"), QStringLiteral("Notes & more")}
                           .join(separator) +
                       lineBreak;
        for (const Row& row : rows) {
            for (const QString& field : row.fields)
                EXPECT_FALSE(field.contains(separator)) << "test data must not hold the separator";
            text += row.fields.join(separator) + lineBreak + lineBreak;
        }
        const QString path = QDir(db_.folder()).filePath(QStringLiteral("source.txt"));
        WriteFile(path, text.toUtf8());
        return path;
    }

    void execute(const QString& sql)
    {
        Connection connection;
        connection.setMode(Connection::kModeReadWrite);
        connection.open(BuildConnectionString(db_.parameters()));
        connection.execute(sql);
        connection.close();
    }

    int columnCount(const QString& table)
    {
        Connection connection;
        connection.setMode(Connection::kModeReadWrite);
        connection.open(BuildConnectionString(db_.parameters()));
        ResultSet result = connection.openQuery(BuildColumnCountQuery(table));
        const int count = result.fieldCount();
        result.close();
        connection.close();
        return count;
    }

    ScratchDatabase db_;
};

TEST_P(SqlRoundTripDb, EveryStatementIsAcceptedAndValuesReadBackExactly)
{
    const RoundTripCase& c = GetParam();
    const std::vector<Row> rows = DataRows();
    const QString path = writeSourceFile(rows);
    const QString separator = QString::fromUtf8(c.separator);
    const QString table = QString::fromUtf8(c.table);

    TextFormat format;
    format.separator = separator;
    const FieldCountScan scan = FieldCountPass(path, format).run();
    ASSERT_EQ(scan.result, FieldCountResult::Agreed) << scan.report.toStdString();
    const QStringList header = scan.header;
    ASSERT_EQ(header.size(), 4);

    // Prompted columns come from the user's answers; appended rows go to a
    // table that already exists.
    const QStringList columns =
        c.style == RowStyle::PromptedColumns
            ? QStringList{QStringLiteral("First Name"), QStringLiteral("Straße 2"), QStringLiteral("x-y"),
                          QStringLiteral("note")}
            : header;
    ASSERT_NO_THROW(execute(BuildCreateStatement(table, columns)));
    ASSERT_EQ(columnCount(table), header.size());

    int sent = 0;
    format.encoding = scan.encoding;
    RecordReader reader(path, format);
    for (TextRecord record; reader.next(record);) {
        if (record.lines.first == 0 || record.fieldCount == 0)  // the header, an empty line
            continue;
        const QString statement = BuildRowStatement(table, record.fields, c.style);
        EXPECT_NO_THROW(execute(statement)) << statement.left(200).toStdString();
        ++sent;
    }
    EXPECT_EQ(sent, int(rows.size()));

    QStringList expected;
    for (const Row& row : rows)
        expected << (c.style == RowStyle::HeaderColumns ? row.keptQuotes : row.noQuotes).join(QChar(0x1f));
    ExpectRows(db_.parameters(), QStringLiteral("SELECT * FROM ") + QuoteTableName(table), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, SqlRoundTripDb,
    ::testing::Values(RoundTripCase{"HeaderColumnsCrLf", RowStyle::HeaderColumns, "|~|", "\r\n", "NewTable1"},
                      RoundTripCase{"PromptedColumnsLf", RowStyle::PromptedColumns, "§", "\n", "Prompted Table"},
                      RoundTripCase{"AppendRowsCr", RowStyle::AppendRows, "||", "\r", "Target"},
                      RoundTripCase{"QuoteInTableName", RowStyle::HeaderColumns, "||", "\n", "Sales \"2021\""},
                      RoundTripCase{"QuoteInAppendedTableName", RowStyle::AppendRows, "|~|", "\r\n",
                                    "x\"); DROP TABLE \"y"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
