// Files as other programs write them, imported into a real database through
// the whole run and read back byte for byte: quoted fields, line breaks
// inside them, and the encodings. Fast load must store exactly what one
// INSERT per line stores, so every file is loaded both ways.
#include "base/ErrorReport.h"
#include "import/ImportMessages.h"
#include "import/SqlTexts.h"

#include "ImportRunFixture.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const QString kNull = QStringLiteral("<NULL>");
const QChar kSep(0x1f);

QByteArray Encoded(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

// Windows-1252 beside Latin-1: the 27 printable characters of 0x80 to 0x9F
// (0x81, 0x8D, 0x8F, 0x90 and 0x9D are not characters).
char16_t Windows1252(unsigned char byte)
{
    static const char16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char16_t(byte);
}

// One row per printable character: the byte, a tab, its number.
QByteArray EveryPrintableWindows1252(QStringList& rows)
{
    QByteArray bytes = "Character\tCode\r\n";
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        if (byte == 0x7F || Windows1252(static_cast<unsigned char>(byte)) == 0)
            continue;
        bytes += char(byte);
        bytes += '\t' + QByteArray::number(byte) + "\r\n";
        rows << QString(QChar(Windows1252(static_cast<unsigned char>(byte)))) + kSep + QString::number(byte);
    }
    return bytes;
}

struct ReadingCase {
    const char* name;
    std::function<QByteArray(QStringList& rows)> file;  // the file, and the rows it must give
    const char* separator;
    const char* encoding;  // "" for Automatic
    bool quoted;
    RowStyle style;
};

QByteArray Rfc4180(QStringList& rows, const char* lineBreak)
{
    const QByteArray br(lineBreak);
    rows << QStringLiteral("x,1") + kSep + QStringLiteral("say \"hi\"") + kSep + QStringLiteral("two") + br + "lines"
         << QStringLiteral("plain") + kSep + QString() + kSep + kNull
         << QString() + kSep + kNull + kSep + QStringLiteral("'\"");
    return "a,b,c" + br + "\"x,1\",\"say \"\"hi\"\"\",\"two" + br + "lines\"" + br + "plain,\"\"," + br + br
           + "\"\",,'\"" + br;
}

// Apostrophes, double quotes, empty fields at the start, middle and end, and
// a 5 MB value; quotes are dropped in every style but the header one.
QByteArray ValuesOfEveryKind(QStringList& rows, RowStyle style)
{
    const bool keepQuotes = style == RowStyle::HeaderColumns;
    const QString large = QString(5 * 1024 * 1024 - 2, QLatin1Char('v')) + QStringLiteral("é");
    rows << QStringLiteral("O'Neil") + kSep + (keepQuotes ? QStringLiteral("\"q\"") : QStringLiteral("q")) + kSep
                + QStringLiteral("it''s")
         << QString() + kSep + QStringLiteral("mid") + kSep + kNull
         << QStringLiteral("a") + kSep + kNull + kSep + QStringLiteral("z")
         << QStringLiteral("Zürich 😀") + kSep + large + kSep + (keepQuotes ? QStringLiteral("\"\"") : kNull);
    return "A;B;C\r\nO'Neil;\"q\";it''s\r\n;mid;\r\na;;z\r\nZ\xc3\xbcrich \xf0\x9f\x98\x80;" + large.toUtf8()
           + ";\"\"\r\n";
}

class ReadingRoundTripDb : public ImportRunFixture,
                           public ::testing::WithParamInterface<std::tuple<ReadingCase, bool>> {};

TEST_P(ReadingRoundTripDb, RowsReadBackExactly)
{
    const auto& [c, fast] = GetParam();
    QStringList expected;
    files_.append(file(QStringLiteral("source.txt"), c.file(expected)));
    ImportOptions& o = options_.options();
    o.separator = QString::fromUtf8(c.separator);
    o.encoding = QString::fromUtf8(c.encoding);
    o.quotedFields = c.quoted;
    o.fastLoad = fast;
    o.batchSize = 2;  // batches cut inside every file, and a last one part full
    const int columns = static_cast<int>(expected.front().count(kSep)) + 1;
    QString table = QStringLiteral("NewTable1");
    if (c.style == RowStyle::AppendRows) {
        table = QStringLiteral("Target");
        QStringList definitions;
        for (int i = 1; i <= columns; ++i)
            definitions << QStringLiteral("\"C%1\" LONG VARCHAR").arg(i);
        RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Target\"(%1)").arg(definitions.join(", ")));
        tables_.append(table);
        o.mode = ImportMode::AppendExisting;
        o.selectedTable = table;
    } else if (c.style == RowStyle::PromptedColumns) {
        o.columnSource = ColumnSource::Prompted;
        for (int i = 1; i <= columns; ++i)
            dialogs_.expectInput(QStringLiteral("Enter name for column #%1:").arg(i), QStringLiteral("C%1").arg(i));
    }
    dialogs_.expectMessage(ImportMessage::Done);
    OdbcImportDatabase database;
    const ImportOutcome outcome = runWith(db_.parameters(), database, nullptr);
    EXPECT_EQ(outcome.counts.rowsInserted, expected.size());

    ExpectRows(db_.parameters(), QStringLiteral("SELECT * FROM \"%1\"").arg(table), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadingRoundTripDb,
    ::testing::Combine(::testing::Values(
        ReadingCase{"ValuesOfEveryKind", [](QStringList& r) { return ValuesOfEveryKind(r, RowStyle::HeaderColumns); },
                    ";", "", false, RowStyle::HeaderColumns},
        ReadingCase{"ValuesOfEveryKindAppended",
                    [](QStringList& r) { return ValuesOfEveryKind(r, RowStyle::AppendRows); }, ";", "", false,
                    RowStyle::AppendRows},
        ReadingCase{"Rfc4180CrLf", [](QStringList& r) { return Rfc4180(r, "\r\n"); }, ",", "", true,
                    RowStyle::HeaderColumns},
        ReadingCase{"Rfc4180LfAppended", [](QStringList& r) { return Rfc4180(r, "\n"); }, ",", "", true,
                    RowStyle::AppendRows},
        ReadingCase{"Rfc4180CrPrompted", [](QStringList& r) { return Rfc4180(r, "\r"); }, ",", "", true,
                    RowStyle::PromptedColumns},
        ReadingCase{"LongSeparatorWithQuotedFields",
                    [](QStringList& r) {
                        r << QStringLiteral("a|~|b") + kSep + QStringLiteral("c\"d") + kSep + QStringLiteral("|~")
                          << QStringLiteral("1") + kSep + kNull + kSep + QString();
                        return QByteArray("h1|~|h2|~|h3\n\"a|~|b\"|~|\"c\"\"d\"|~||~\n1|~||~|\"\"\n");
                    },
                    "|~|", "", true, RowStyle::HeaderColumns},
        ReadingCase{"Windows1252EveryPrintableCharacterAutomatic", EveryPrintableWindows1252, "\t", "", false,
                    RowStyle::HeaderColumns},
        ReadingCase{"Windows1252EveryPrintableCharacterChosen", EveryPrintableWindows1252, "\t", "Windows-1252",
                    false, RowStyle::HeaderColumns},
        ReadingCase{"Utf16LeMarkTabs",
                    [](QStringList& r) {
                        r << QStringLiteral("Zoë") + kSep + QStringLiteral("Köln")
                          << QStringLiteral("😀 \"q\"") + kSep + QStringLiteral("東京")
                          << QString() + kSep + QStringLiteral("last");
                        return Encoded(QStringLiteral("Name\tCity\r\nZoë\tKöln\r\n😀 \"q\"\t東京\r\n\tlast\r\n"),
                                       QStringConverter::Utf16LE);
                    },
                    "\t", "", false, RowStyle::HeaderColumns},
        ReadingCase{"Utf16BeMarkTabsChosenAsUtf16",
                    [](QStringList& r) {
                        r << QStringLiteral("Zoë") + kSep + QStringLiteral("a\nb")
                          << QStringLiteral("Ω") + kSep + kNull;
                        return Encoded(QStringLiteral("Name\tCity\n\"Zoë\"\t\"a\nb\"\nΩ\t\n"),
                                       QStringConverter::Utf16BE);
                    },
                    "\t", "UTF-16", true, RowStyle::HeaderColumns},
        ReadingCase{"Utf8Mark",
                    [](QStringList& r) {
                        r << QStringLiteral("Müller") + kSep + QStringLiteral("東京");
                        return QByteArray("\xef\xbb\xbfName,City\r\nM\xc3\xbcller,\xe6\x9d\xb1\xe4\xba\xac\r\n");
                    },
                    ",", "", false, RowStyle::AppendRows}),
                       ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Fast" : "RowByRow");
    });

struct UndecodableCase {
    const char* name;
    QByteArray bytes;
    bool quoted;
    bool fast;
    const char* report;  // after "PATH, "
    QStringList rows;
};
void PrintTo(const UndecodableCase& c, std::ostream* os) { *os << c.name; }

class UndecodableLinesDb : public ImportRunFixture, public ::testing::WithParamInterface<UndecodableCase> {};

// A record that cannot be sent as it is (not text in the chosen encoding, or
// holding a NUL) is reported with its file and first line, and the physical
// line that holds the bad bytes; it is counted and not sent in either mode,
// and the others load.
TEST_P(UndecodableLinesDb, AreReportedCountedAndNotSent)
{
    const UndecodableCase& c = GetParam();
    const QString path = file(QStringLiteral("bad.txt"), c.bytes);
    files_.append(path);
    options_.options().encoding = QStringLiteral("UTF-8");
    options_.options().quotedFields = c.quoted;
    options_.options().fastLoad = c.fast;
    dialogs_.expectErrorReport(Location::ImportRun, 226);
    dialogs_.expectMessage(QStringLiteral("Import finished with errors.\r\n\r\nFiles loaded completely: 0 of 1.\r\n"
                                          "Rows inserted: 2.\r\nStatements that failed: 1."));
    OdbcImportDatabase database;
    runWith(db_.parameters(), database, nullptr);
    ASSERT_FALSE(dialogs_.shown().empty());
    EXPECT_TRUE(dialogs_.shown().front().text.contains(path + QStringLiteral(", ") + QString::fromUtf8(c.report)))
        << dialogs_.shown().front().text.toStdString();
    EXPECT_EQ(QueryRows(db_.parameters(), QStringLiteral("SELECT * FROM \"NewTable1\" ORDER BY 1")), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UndecodableLinesDb,
    ::testing::Values(
        UndecodableCase{"OneLine", "A,B\n1,ok\nM\xfcller,2\n3,\"fine\"\n", false, false,
                        "line 3: line 3 is not UTF-8 text: M\\xFCller,2",
                        {QStringLiteral("1\x1fok"), QStringLiteral("3\x1f\"fine\"")}},
        // The bad byte on the second line of a quoted field: that line is quoted.
        UndecodableCase{"LaterLineOfAQuotedRecord", "A,B\n1,ok\n\"x\ny\xffz\",2\n3,fine\n", true, true,
                        "line 3: line 4 is not UTF-8 text: y\\xFFz\",2",
                        {QStringLiteral("1\x1fok"), QStringLiteral("3\x1f" "fine")}},
        UndecodableCase{"NulCharacterFast", QByteArray("A,B\n1,ok\nx\0y,2\n3,fine\n", 22), false, true,
                        "line 3: holds a NUL character", {QStringLiteral("1\x1fok"), QStringLiteral("3\x1f" "fine")}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
