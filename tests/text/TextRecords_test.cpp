// Records with quoted fields, and the field-count pass that settles a
// file's encoding: tables of files and what they read as.
#include "base/Failure.h"
#include "text/TextRecords.h"
#include "text/TextRules.h"

#include "ScriptedDialogs.h"
#include "TestBasics.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;

namespace {

struct Expected {
    qint64 line;
    std::vector<std::string> fields;  // a field that was enclosed in quotes starts with '!'
    qint64 lineCount = 1;
};

struct RecordsCase {
    const char* name;
    QByteArray bytes;
    const char* separator;
    std::vector<Expected> records;  // the header record included
    bool lastUnclosed = false;
};

// Every record as line and fields, quoted ones marked.
std::vector<Expected> ReadRecords(const QString& path, const TextFormat& format, qint64 chunkSize,
                                  bool& lastUnclosed)
{
    RecordReader reader(path, format, chunkSize);
    std::vector<Expected> records;
    TextRecord record;
    while (reader.next(record)) {
        Expected e{record.lines.first, {}, record.lines.count};
        for (qsizetype i = 0; i < record.fields.size(); ++i)
            e.fields.push_back((record.quoted.at(size_t(i)) ? "!" : "") + record.fields.at(i).toStdString());
        EXPECT_EQ(record.fieldCount, record.fields.size());
        records.push_back(e);
        lastUnclosed = record.unclosedQuote;
    }
    return records;
}

bool operator==(const Expected& a, const Expected& b)
{
    return a.line == b.line && a.fields == b.fields && a.lineCount == b.lineCount;
}

void PrintTo(const Expected& e, std::ostream* out)
{
    *out << "line " << e.line << " (" << e.lineCount << " lines):";
    for (const std::string& f : e.fields)
        *out << " [" << f << "]";
}

class QuotedRecords : public ::testing::TestWithParam<std::tuple<RecordsCase, qint64>> {};

TEST_P(QuotedRecords, ReadAsTheFileWritesThem)
{
    const auto& [c, chunkSize] = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.csv"));
    quorvane::testing::WriteFile(path, c.bytes);
    bool lastUnclosed = false;
    TextFormat format{QString::fromUtf8(c.separator), QString(), true};
    EXPECT_EQ(ReadRecords(path, format, chunkSize, lastUnclosed), c.records);
    EXPECT_EQ(lastUnclosed, c.lastUnclosed);
}

// Chunks of 1 and 3 bytes cut every CR LF pair inside and outside quotes.
INSTANTIATE_TEST_SUITE_P(
    Files, QuotedRecords,
    ::testing::Combine(
        ::testing::Values(
            RecordsCase{"Rfc4180SeparatorInQuotes", "a,b,c\r\naaa,\"b,bb\",ccc\r\n", ",",
                        {{0, {"a", "b", "c"}}, {1, {"aaa", "!b,bb", "ccc"}}, {2, {}}}},
            RecordsCase{"Rfc4180DoubledQuote", "\"aaa\",\"b\"\"bb\",\"ccc\"", ",",
                        {{0, {"!aaa", "!b\"bb", "!ccc"}}}},
            RecordsCase{"Rfc4180LineBreaksKeptAsWritten", "h\n\"aaa\",\"b\r\nbb\",\"c\rc\nc\"\nzzz,yyy\n", ",",
                        {{0, {"h"}}, {1, {"!aaa", "!b\r\nbb", "!c\rc\nc"}, 4}, {5, {"zzz", "yyy"}}, {6, {}}}},
            RecordsCase{"QuotedEmptyIsMarkedUnquotedEmptyIsNot", "a,\"\",,\"\"", ",",
                        {{0, {"a", "!", "", "!"}}}},
            RecordsCase{"LongSeparatorInsideAndBetweenQuotes", "\"a||b\"||\"c\"\"||d\"||e||", "||",
                        {{0, {"!a||b", "!c\"||d", "e", ""}}}},
            RecordsCase{"QuoteInsideAnUnquotedFieldIsText", "5\" disk,x\"y\"", ",", {{0, {"5\" disk", "x\"y\""}}}},
            RecordsCase{"TextAfterTheClosingQuoteIsKept", "\"ab\"c\"d,e", ",", {{0, {"!abc\"d", "e"}}}},
            RecordsCase{"EmptyLinesBetweenRecords", "a,b\n\n\"x\ny\",z\n", ",",
                        {{0, {"a", "b"}}, {1, {}}, {2, {"!x\ny", "z"}, 2}, {4, {}}}},
            RecordsCase{"UnclosedQuoteRunsToTheEnd", "a,b\nc,\"d\ne,f\n", ",",
                        {{0, {"a", "b"}}, {1, {"c", "!d\ne,f\n"}, 3}}, true}),
        ::testing::Values(qint64(1), qint64(3), qint64(64 * 1024))),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_chunk" + std::to_string(std::get<1>(info.param));
    });

// ---------------------------------------------------------------------------
// The field-count pass: header, report and the encoding it settles on.

struct PassCase {
    const char* name;
    QByteArray bytes;
    const char* separator;
    bool quoted;
    const char* encoding;  // "" for Automatic
    const char* settled;
    std::vector<std::string> header;
    const char* report;  // nullptr: every record agrees
};

class FieldCountPassFiles : public ::testing::TestWithParam<PassCase> {};

TEST_P(FieldCountPassFiles, SettleTheEncodingAndFindTheFirstMismatch)
{
    const PassCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.csv"));
    quorvane::testing::WriteFile(path, c.bytes);
    const FieldCountScan scan =
        FieldCountPass(path, {QString::fromUtf8(c.separator), QString::fromUtf8(c.encoding), c.quoted}).run();
    EXPECT_EQ(scan.encoding.toStdString(), c.settled);
    std::vector<std::string> header;
    for (const QString& field : scan.header)
        header.push_back(field.toStdString());
    EXPECT_EQ(header, c.header);
    FieldCountResult expected = FieldCountResult::Agreed;
    if (c.report)
        expected = QByteArray(c.report).contains("opens a double quote") ? FieldCountResult::UnclosedQuote
                                                                         : FieldCountResult::Mismatch;
    EXPECT_EQ(scan.result, expected);
    EXPECT_EQ(scan.report.toStdString(), c.report ? c.report : "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, FieldCountPassFiles,
    ::testing::Values(
        PassCase{"QuotedRecordReportNamesItsFirstLine", "h1,h2\n\"a\nb\",\"c\nd\",e\nx,y\n", ",", true, "",
                 "UTF-8", {"h1", "h2"}, "Line no 1: \"a"},
        PassCase{"QuotedSeparatorsAndBreaksAgree", "\"h,1\",h2\r\n\"a\r\n,b\",c\r\n", ",", true, "", "UTF-8",
                 {"h,1", "h2"}, nullptr},
        PassCase{"UnquotedReadingCutsAtTheQuotedSeparator", "h1,h2\n\"a,b\",c\n", ",", false, "", "UTF-8",
                 {"h1", "h2"}, "Line no 1: \"a,b\",c"},
        PassCase{"UnclosedQuoteNamesTheLineItOpens", "h1,h2\n\"a\nb\",c\nd,\"e\nf,g\n", ",", true, "",
                 "UTF-8", {"h1", "h2"}, "Line no 3 opens a double quote that is never closed: d,\"e"},
        PassCase{"UnclosedQuoteInTheHeader", "h1,\"h2\na,b\n", ",", true, "", "UTF-8", {"h1", "h2\na,b\n"},
                 "Line no 0 opens a double quote that is never closed: h1,\"h2"},
        PassCase{"Utf8MarkDecidesDespiteLaterBytes", "\xef\xbb\xbfh1,h2\na,\xfc\n", ",", false, "", "UTF-8",
                 {"h1", "h2"}, nullptr},
        PassCase{"Utf16LeMark", QByteArray("\xff\xfeh\0\t\0i\0\n\0a\0", 12), "\t", false, "", "UTF-16LE",
                 {"h", "i"}, "Line no 1: a"},
        PassCase{"Utf16BeMarkUnderUtf16", QByteArray("\xfe\xff\0h\0\t\0i", 8), "\t", false, "UTF-16", "UTF-16",
                 {"h", "i"}, nullptr},
        // UTF-32LE's mark begins with UTF-16LE's.
        PassCase{"Utf32LeMark", QByteArray("\xff\xfe\0\0h\0\0\0\t\0\0\0i\0\0\0\n\0\0\0a\0\0\0", 24), "\t",
                 false, "", "UTF-32LE", {"h", "i"}, "Line no 1: a"},
        PassCase{"Utf32BeMark", QByteArray("\0\0\xfe\xff\0\0\0h\0\0\0\t\0\0\0i", 16), "\t", false, "",
                 "UTF-32BE", {"h", "i"}, nullptr},
        // The report is read again once a later byte shows the file is not UTF-8.
        PassCase{"ReportDecodedInTheSettledEncoding", "h1,h2\n\xc3\xa9\n\xff,x\n", ",", false, "",
                 "Windows-1252", {"h1", "h2"}, "Line no 1: \xc3\x83\xc2\xa9"},
        PassCase{"HeaderDecodedInTheSettledEncoding", "Stra\xc3\x9f" "e,x\na,\xfc\n", ",", false, "",
                 "Windows-1252", {"Stra\xc3\x83\xc5\xb8" "e", "x"}, nullptr},
        // A separator beyond ASCII cuts Windows-1252 text elsewhere than UTF-8.
        PassCase{"SeparatorBeyondAsciiInWindows1252", "h1\xa7h2\nx\xa7y\xa7z\n", "\xc2\xa7", false, "",
                 "Windows-1252", {"h1", "h2"}, "Line no 1: x\xc2\xa7y\xc2\xa7z"},
        PassCase{"SeparatorBeyondAsciiInUtf8", "h1\xc2\xa7h2\nx\xc2\xa7y\n", "\xc2\xa7", false, "", "UTF-8",
                 {"h1", "h2"}, nullptr},
        PassCase{"UndecodableBytesShownInTheReport", "h1,h2\nM\xfcller\n", ",", false, "UTF-8", "UTF-8",
                 {"h1", "h2"}, "Line no 1: M\\xFCller"}),
    [](const auto& info) { return std::string(info.param.name); });

// A stop is a result of its own: the records not read are not said to agree,
// nor is the part read reported as a header or an encoding.
TEST(FieldCountPassStop, AStopEndsThePassAsStopped)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.csv"));
    // Far more lines than are read between two pauses, and all agreeing.
    quorvane::testing::WriteFile(path, "h1,h2\n" + QByteArray("a,b\n").repeated(2'000'000));
    std::stop_source stop;
    stop.request_stop();
    const FieldCountScan scan = FieldCountPass(path, {}).run(std::nullopt, stop.get_token());
    EXPECT_EQ(scan.result, FieldCountResult::Stopped);
    EXPECT_TRUE(scan.header.isEmpty());
    EXPECT_TRUE(scan.encoding.isEmpty());
    ScriptedDialogs noDialogExpected;
    EXPECT_FALSE(CheckFieldCounts(scan, noDialogExpected));
}

// A quote left open in the header would keep the rest of the file in memory.
TEST(FieldCountPassHeader, QuoteLeftOpenForAMegabyteIsAFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.csv"));
    quorvane::testing::WriteFile(path, "a,\"b\n" + QByteArray(600 * 1024, 'x') + "\n" + QByteArray(600 * 1024, 'y'));
    try {
        FieldCountPass(path, {QStringLiteral(","), QString(), true});
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.description(), QStringLiteral("Cannot read file ") + path
                                             + QStringLiteral(": its first line opens a double quote that is not "
                                                              "closed within 1048576 characters."));
    }
}

}  // namespace
