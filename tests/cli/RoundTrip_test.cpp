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
