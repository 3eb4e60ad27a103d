// Files loaded through the command-line program into the test database and
// read back: every value must equal, byte for byte, the field written out
// here (an empty first field reads back as '', a later empty field as NULL;
// in append mode double quotes are removed).

#include "../import/FaultsHelpers.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// One row as QueryRows shows it.
QString Row(const QStringList& values) { return values.join(QChar(0x1f)); }

struct RoundTripCase {
    const char* name;
    QString separatorArg;  // as it is typed on the command line
    QByteArray bytes;
    QStringList rows;      // as they read back, values joined by '\x1f'
    bool append = false;   // into a table "Target"("A", "B", "C") made beforehand
};

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class RoundTripDb : public ::testing::TestWithParam<RoundTripCase> {
protected:
    ScratchDatabase db_;
    QTemporaryDir config_;
};

}  // namespace

TEST_P(RoundTripDb, EveryValueReadsBackAsItsField)
{
    const RoundTripCase& c = GetParam();
    const QString path = QDir(db_.folder()).filePath(QStringLiteral("data.txt"));
    WriteFile(path, c.bytes);
    const QString table = c.append ? QStringLiteral("Target") : QStringLiteral("NewTable1");
    QStringList options = ConnectOptions(db_.parameters()) << "--separator" << c.separatorArg;
    if (c.append) {
        RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Target\"(\"A\" LONG VARCHAR, "
                                                "\"B\" LONG VARCHAR, \"C\" LONG VARCHAR)"));
        options << "--append" << table;
    }
    const CliRunResult r = RunCliProgram(options << path, {config_.path(), db_.parameters().password});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Done.\n"));

    ExpectRows(db_.parameters(), QStringLiteral("SELECT * FROM \"%1\"").arg(table), c.rows);
}

const QStringList kLinesEndingRows{Row({"1", "2"}), Row({"x", "y"}), Row({"last", "one"})};

INSTANTIATE_TEST_SUITE_P(
    Files, RoundTripDb,
    ::testing::Values(
        RoundTripCase{"Utf8Text", ",",
                      "Name,City\nZo\xc3\xab,\xc5\xa0kofja Loka\n\xe6\x97\xa5\xe6\x9c\xac,\xce\x95\xce\xbb\xce\xbb"
                      "\xce\xac\xce\xb4\xce\xb1 \xf0\x9f\x98\x80\n",
                      {Row({"Zoë", "Škofja Loka"}), Row({"日本", "Ελλάδα 😀"})}},
        RoundTripCase{"ApostrophesAndDoubleQuotes", ",",
                      "A,B,C\nO'Neil,\"quoted\",''\n\"\",',x\"y\"z\n'); DROP TABLE x; --,a'',\"\"\"\n",
                      {Row({"O'Neil", "\"quoted\"", "''"}), Row({"\"\"", "'", "x\"y\"z"}),
                       Row({"'); DROP TABLE x; --", "a''", "\"\"\""})}},
        RoundTripCase{"Backslashes", ",", "A,B\nC:\\temp\\,\\\\server\\share\n\\',\\\"\n\\n,\\\\\n",
                      {Row({"C:\\temp\\", "\\\\server\\share"}), Row({"\\'", "\\\""}), Row({"\\n", "\\\\"})}},
        RoundTripCase{"TabSeparator", "\\t", "A\tB\tC\na b\t,;\t c \n\t\tx\n",
                      {Row({"a b", ",;", " c "}), Row({"", "<NULL>", "x"})}},
        RoundTripCase{"TwoCharacterSeparator", "||", "A||B||C\n1||2||3\na|||b||c|\n|x||y||z|\n",
                      {Row({"1", "2", "3"}), Row({"a", "|b", "c|"}), Row({"|x", "y", "z|"})}},
        RoundTripCase{"EmptyFieldsAtStartMiddleAndEnd", ",", "A,B,C\n,start,x\nx,,y\nx,y,\n,,\n",
                      {Row({"", "start", "x"}), Row({"x", "<NULL>", "y"}), Row({"x", "y", "<NULL>"}),
                       Row({"", "<NULL>", "<NULL>"})}},
        RoundTripCase{"CrLfEndings", ",", "A,B\r\n1,2\r\nx,y\r\n\r\nlast,one", kLinesEndingRows},
        RoundTripCase{"LfEndings", ",", "A,B\n1,2\nx,y\n\nlast,one\n", kLinesEndingRows},
        RoundTripCase{"CrEndings", ",", "A,B\r1,2\rx,y\r\rlast,one\r", kLinesEndingRows},
        RoundTripCase{"MixedEndings", ",", "A,B\r\n1,2\nx,y\r3,4\n\r5,6",
                      {Row({"1", "2"}), Row({"x", "y"}), Row({"3", "4"}), Row({"5", "6"})}},
        RoundTripCase{"AppendRemovesDoubleQuotes", ",", "A,B,C\n\"q\",x\"y,\"\"\n'\"',\"a\"\"b\",z\n",
                      {Row({"q", "xy", "<NULL>"}), Row({"''", "ab", "z"})}, true}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.name); });

// Detected column types, row by row and in batches: a file with every type
// the stand-ins hold (MariaDB has no CLOB, and its TIMESTAMP only the years
// 1970 to 2038; the dialect is Derby's check) reads back as written:
// numbers as numbers, dates in ISO form, NULL for an empty field (the first
// of a row too), text byte for byte.
namespace {

enum class Compare { Integer, Number, Exact };

struct TypedColumn {
    const char* name;
    Compare compare;
};

const TypedColumn kTypedColumns[] = {
    {"Id", Compare::Integer},  {"Big", Compare::Integer}, {"Price", Compare::Number}, {"Ratio", Compare::Number},
    {"Day", Compare::Exact},   {"UsDay", Compare::Exact}, {"At", Compare::Exact},     {"Zip", Compare::Exact},
    {"Name", Compare::Exact}};

const QByteArray kTypedFile =
    "Id,Big,Price,Ratio,Day,UsDay,At,Zip,Name\r\n"
    ",5000000000,12.50,1.5,29.2.2024,2/13/2023,2023-01-02 10:11:12,02134,O'Neil\r\n"
    "-2147483648,-9,-0.05,-2.5E-3,,12/31/1999,2023-01-04-23.59.58,,Jos\xc3\xa9 \"J\"\r\n"
    "2147483647,9223372036854775807,1234,1e10,1.1.1970,,2023-01-05,00501,\r\n";

// The same rows as they must read back; <NULL> for NULL.
const QStringList kTypedRows[] = {
    {"<NULL>", "5000000000", "12.5", "1.5", "2024-02-29", "2023-02-13", "2023-01-02 10:11:12", "02134", "O'Neil"},
    {"-2147483648", "-9", "-0.05", "-0.0025", "<NULL>", "1999-12-31", "2023-01-04 23:59:58", "<NULL>",
     "Jos\u00e9 \"J\""},
    {"2147483647", "9223372036854775807", "1234", "1e10", "1970-01-01", "<NULL>", "2023-01-05 00:00:00", "00501",
     "<NULL>"}};

bool SameValue(const QString& read, const QString& expected, Compare compare)
{
    if (read == QLatin1String("<NULL>") || expected == QLatin1String("<NULL>") || compare == Compare::Exact)
        return read == expected;
    bool readOk = false, expectedOk = false;
    if (compare == Compare::Integer)
        return read.toLongLong(&readOk) == expected.toLongLong(&expectedOk) && readOk && expectedOk;
    return read.toDouble(&readOk) == expected.toDouble(&expectedOk) && readOk && expectedOk;
}

// A timestamp reads back with or without ".000000", as the database shows it.
QString WithoutZeroFraction(QString value)
{
    if (value.endsWith(QLatin1String(".000000")) || value.endsWith(QLatin1String(".000")))
        value.truncate(value.indexOf(QLatin1Char('.')));
    return value;
}

class TypedRoundTripDb : public ::testing::TestWithParam<bool> {
protected:
    ScratchDatabase db_;
    QTemporaryDir config_;
};

}  // namespace

TEST_P(TypedRoundTripDb, DetectedTypesKeepEveryValue)
{
    const QString path = QDir(db_.folder()).filePath(QStringLiteral("typed.csv"));
    WriteFile(path, kTypedFile);
    QStringList options = ConnectOptions(db_.parameters()) << "--types" << "detected";
    if (GetParam())
        options << "--fast" << "--batch-size" << "2";
    const CliRunResult r = RunCliProgram(options << path, {config_.path(), db_.parameters().password});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Done.\n"));

    QStringList columns;
    for (const TypedColumn& column : kTypedColumns)
        columns << QStringLiteral("\"%1\"").arg(QLatin1String(column.name));
    const QStringList rows =
        QueryRows(db_.parameters(), QStringLiteral("SELECT %1 FROM \"NewTable1\"").arg(columns.join(',')));
    ASSERT_EQ(rows.size(), qsizetype(std::size(kTypedRows)));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList values = rows[i].split(QChar(0x1f));
        ASSERT_EQ(values.size(), kTypedRows[i].size());
        for (qsizetype j = 0; j < values.size(); ++j)
            EXPECT_TRUE(SameValue(WithoutZeroFraction(values[j]), kTypedRows[i][j], kTypedColumns[j].compare))
                << "row " << i << " column " << kTypedColumns[j].name << ": read " << values[j].toStdString()
                << ", wrote " << kTypedRows[i][j].toStdString();
    }
}

// The whole file decides: a late value turns a column of integers into
// text, and a zip code with a leading zero stays text, so nothing is
// refused and the zero is kept.
TEST_P(TypedRoundTripDb, ALateValueMakesTheColumnText)
{
    const QString path = QDir(db_.folder()).filePath(QStringLiteral("late.csv"));
    QByteArray bytes = "Number,Zip\n";
    for (int i = 1; i <= 150000; ++i)
        bytes += QByteArray::number(i) + (i == 75000 ? ",02134\n" : ",12345\n");
    bytes += "12a,99999\n";
    WriteFile(path, bytes);

    const CliRunResult printed =
        RunCliProgram({"--print-sql", "--types", "detected", path}, {config_.path(), QString()});
    EXPECT_TRUE(printed.out.startsWith(
        QStringLiteral("CREATE TABLE \"NewTable1\"(\"Number\" VARCHAR(6), \"Zip\" VARCHAR(5));\n")))
        << printed.out.left(200).toStdString();

    // Row by row into the databases would take minutes: batches carry the
    // same values.
    if (!GetParam())
        return;
    const CliRunResult r = RunCliProgram(ConnectOptions(db_.parameters())
                                             << "--types" << "detected" << "--fast" << path,
                                         {config_.path(), db_.parameters().password});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Done.\n"));
    ExpectRows(db_.parameters(),
               QStringLiteral("SELECT COUNT(*) FROM \"NewTable1\" UNION ALL "
                              "SELECT \"Zip\" FROM \"NewTable1\" WHERE \"Number\" IN ('75000', '12a')"),
               {"150001", "02134", "99999"});
}

INSTANTIATE_TEST_SUITE_P(Modes, TypedRoundTripDb, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Fast" : "RowByRow");
                         });
