// Files loaded through the command-line program into the test database and
// read back: every value must equal, byte for byte, the field that the
// splitting rules make of its line (an empty first field reads back as '',
// a later empty field as NULL; in append mode double quotes are removed).

#include "import/TextRules.h"

#include "../import/FaultsHelpers.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace quorvane;
using namespace quorvane::testing;

namespace {

struct RoundTripCase {
    const char* name;
    QString separator;     // as the splitting rules take it
    QString separatorArg;  // as it is typed on the command line
    QByteArray bytes;
    bool append = false;   // into a table made beforehand from the header
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
    const QStringList header = SplitFields(ReadFirstLine(path), c.separator);
    const QString table = c.append ? QStringLiteral("Target") : QStringLiteral("NewTable1");
    QStringList options = ConnectOptions(db_.parameters()) << "--separator" << c.separatorArg;
    if (c.append) {
        QStringList columns;
        for (const QString& name : header)
            columns << QStringLiteral("\"%1\" LONG VARCHAR").arg(KeepAlphanumeric(name));
        RunSql(db_.parameters(), QStringLiteral("CREATE TABLE \"Target\"(%1)").arg(columns.join(", ")));
        options << "--append" << table;
    }
    const CliRunResult r = RunCliProgram(options << path, {config_.path(), db_.parameters().password});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Done.\n"));

    const QStringList expected = ExpectedRows(path, c.separator, c.append);
    ASSERT_FALSE(expected.isEmpty());
    QStringList landed = QueryRows(db_.parameters(), QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    std::sort(landed.begin(), landed.end());
    ASSERT_EQ(landed.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(landed[i].toUtf8().toHex(' '), expected[i].toUtf8().toHex(' '))
            << landed[i].toStdString() << " / " << expected[i].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, RoundTripDb,
    ::testing::Values(
        RoundTripCase{"Utf8Text", ",", ",",
                      "Name,City\nZo\xc3\xab,\xc5\xa0kofja Loka\n\xe6\x97\xa5\xe6\x9c\xac,\xce\x95\xce\xbb\xce\xbb"
                      "\xce\xac\xce\xb4\xce\xb1 \xf0\x9f\x98\x80\n"},
        RoundTripCase{"ApostrophesAndDoubleQuotes", ",", ",",
                      "A,B,C\nO'Neil,\"quoted\",''\n\"\",',x\"y\"z\n'); DROP TABLE x; --,a'',\"\"\"\n"},
        RoundTripCase{"Backslashes", ",", ",", "A,B\nC:\\temp\\,\\\\server\\share\n\\',\\\"\n\\n,\\\\\n"},
        RoundTripCase{"TabSeparator", "\t", "\\t", "A\tB\tC\na b\t,;\t c \n\t\tx\n"},
        RoundTripCase{"TwoCharacterSeparator", "||", "||", "A||B||C\n1||2||3\na|||b||c|\n|x||y||z|\n"},
        RoundTripCase{"EmptyFieldsAtStartMiddleAndEnd", ",", ",", "A,B,C\n,start,x\nx,,y\nx,y,\n,,\n"},
        RoundTripCase{"CrLfEndings", ",", ",", "A,B\r\n1,2\r\nx,y\r\n\r\nlast,one"},
        RoundTripCase{"LfEndings", ",", ",", "A,B\n1,2\nx,y\n\nlast,one\n"},
        RoundTripCase{"CrEndings", ",", ",", "A,B\r1,2\rx,y\r\rlast,one\r"},
        RoundTripCase{"MixedEndings", ",", ",", "A,B\r\n1,2\nx,y\r3,4\n\r5,6"},
        RoundTripCase{"AppendRemovesDoubleQuotes", ",", ",", "A,B,C\n\"q\",x\"y,\"\"\n'\"',\"a\"\"b\",z\n",
                      true}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.name); });
