#include "import/SqlTexts.h"

#include "text/TextRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorvane;

namespace {

QStringList ToList(const std::vector<const char*>& texts)
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

// ---------------------------------------------------------------------------
// CREATE TABLE

struct CreateCase {
    const char* name;
    const char* table;
    std::vector<const char*> columns;
    const char* statement;
};

class CreateStatement : public ::testing::TestWithParam<CreateCase> {};

TEST_P(CreateStatement, IsByteExact)
{
    const CreateCase& c = GetParam();
    EXPECT_EQ(BuildCreateStatement(QString::fromUtf8(c.table), ToList(c.columns)).toStdString(),
              c.statement);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CreateStatement,
    ::testing::Values(
        CreateCase{"WorkedExample", "NewTable1", {"Name", "Zip Code", "e-mail"},
                   R"(CREATE TABLE "NewTable1"("Name" LONG VARCHAR, "ZipCode" LONG VARCHAR, "email" LONG VARCHAR);)"},
        CreateCase{"OneColumn", "T", {"A"}, R"(CREATE TABLE "T"("A" LONG VARCHAR);)"},
        // The closing cut then eats into the opening; the database refuses it.
        CreateCase{"NoColumnsCutsIntoTheOpening", "NewTable1", {}, R"(CREATE TABLE "NewTable1);)"},
        CreateCase{"OnlyEmptyColumns", "T", {"", ""}, R"(CREATE TABLE "T);)"},
        CreateCase{"EmptyTextGivesNoColumn", "T", {"A", "", "B"},
                   R"(CREATE TABLE "T"("A" LONG VARCHAR, "B" LONG VARCHAR);)"},
        CreateCase{"PunctuationOnlyGivesEmptyName", "T", {"A", "%-%"},
                   R"(CREATE TABLE "T"("A" LONG VARCHAR, "" LONG VARCHAR);)"},
        CreateCase{"NamesFilteringAlikeAreKeptTwice", "T", {"Zip Code", "ZipCode"},
                   R"(CREATE TABLE "T"("ZipCode" LONG VARCHAR, "ZipCode" LONG VARCHAR);)"},
        CreateCase{"AccentedLettersDropped", "T", {"Größe", "\"Qty\""},
                   R"(CREATE TABLE "T"("Gre" LONG VARCHAR, "Qty" LONG VARCHAR);)"},
        CreateCase{"TableNameKeptAsTyped", "Sales 2021-ü", {"a"},
                   R"(CREATE TABLE "Sales 2021-ü"("a" LONG VARCHAR);)"},
        CreateCase{"QuoteInTableNameDoubled", "a\"b", {"x"}, R"(CREATE TABLE "a""b"("x" LONG VARCHAR);)"},
        CreateCase{"QuotesOnlyTableName", "\"\"", {"x"}, R"(CREATE TABLE """"""("x" LONG VARCHAR);)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CreateStatementFromFile, HeaderLineSplitAtSeparatorGivesTheWorkedExample)
{
    EXPECT_EQ(BuildCreateStatement(QStringLiteral("NewTable1"),
                                   SplitFields(QStringLiteral("Name,Zip Code,e-mail"), QStringLiteral(","))),
              QStringLiteral(R"(CREATE TABLE "NewTable1"("Name" LONG VARCHAR, "ZipCode" LONG VARCHAR, "email" LONG VARCHAR);)"));
}

// ---------------------------------------------------------------------------
// INSERT INTO, for each row style

struct RowCase {
    const char* name;
    const char* table;
    std::vector<const char*> fields;
    RowStyle style;
    const char* statement;
};

class RowStatement : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowStatement, IsByteExact)
{
    const RowCase& c = GetParam();
    EXPECT_EQ(BuildRowStatement(QString::fromUtf8(c.table), ToList(c.fields), c.style).toStdString(),
              c.statement);
}

constexpr RowStyle kHeader = RowStyle::HeaderColumns;
constexpr RowStyle kPrompted = RowStyle::PromptedColumns;
constexpr RowStyle kAppend = RowStyle::AppendRows;

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, RowStatement,
    ::testing::Values(
        RowCase{"EmptyFieldsLaterAreNull", "T", {"a", "", "O'Neil", ""}, kHeader,
                R"(INSERT INTO "T" VALUES('a',NULL,'O''Neil',NULL);)"},
        RowCase{"TrailingSeparatorGivesNull", "T", {"a", "b", ""}, kHeader,
                R"(INSERT INTO "T" VALUES('a','b',NULL);)"},
        RowCase{"FirstEmptyFieldIsEmptyText", "T", {"", "b"}, kHeader,
                R"(INSERT INTO "T" VALUES('','b');)"},
        RowCase{"CommaAndApostropheKept", "T", {"x,'y", "z"}, kHeader,
                R"(INSERT INTO "T" VALUES('x,''y','z');)"},
        RowCase{"LeadingApostropheDoubledNeverNull", "T", {"a", "'"}, kHeader,
                R"(INSERT INTO "T" VALUES('a','''');)"},
        RowCase{"EveryApostropheDoubled", "T", {"''a'", "b"}, kHeader,
                R"(INSERT INTO "T" VALUES('''''a''','b');)"},
        RowCase{"SpacesAndTabsUnchanged", "T", {" a ", "\t"}, kHeader,
                "INSERT INTO \"T\" VALUES(' a ','\t');"},
        RowCase{"BackslashesUnchanged", "T", {"C:\\temp\\", "\\'"}, kHeader,
                R"(INSERT INTO "T" VALUES('C:\temp\','\''');)"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    QuotesPerStyle, RowStatement,
    ::testing::Values(
        RowCase{"HeaderColumnsKeepQuotes", "T", {"\"x\"", "y"}, kHeader,
                R"(INSERT INTO "T" VALUES('"x"','y');)"},
        RowCase{"PromptedColumnsRemoveQuotes", "T", {"\"x\"", "y"}, kPrompted,
                R"(INSERT INTO "T" VALUES('x','y');)"},
        RowCase{"AppendRowsRemoveQuotes", "T", {"\"x\"", "y"}, kAppend,
                R"(INSERT INTO "T" VALUES('x','y');)"},
        RowCase{"QuotesInsideValueRemoved", "T", {"a\"b\"c", "O'\"Neil"}, kAppend,
                R"(INSERT INTO "T" VALUES('abc','O''Neil');)"},
        RowCase{"HeaderColumnsQuotesOnlyFieldIsAValue", "T", {"a", "\"\""}, kHeader,
                R"(INSERT INTO "T" VALUES('a','""');)"},
        RowCase{"PromptedQuotesOnlyFieldLaterIsNull", "T", {"a", "\"\"\""}, kPrompted,
                R"(INSERT INTO "T" VALUES('a',NULL);)"},
        RowCase{"AppendQuotesOnlyFirstFieldIsEmptyText", "T", {"\"\"", "b"}, kAppend,
                R"(INSERT INTO "T" VALUES('','b');)"},
        RowCase{"PromptedEmptyLaterFieldIsNull", "T", {"", "", "c"}, kPrompted,
                R"(INSERT INTO "T" VALUES('',NULL,'c');)"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every style opens the same way, DB2's delimited identifier, with any double
// quote of the name doubled so that it cannot end the identifier.
INSTANTIATE_TEST_SUITE_P(
    TableNames, RowStatement,
    ::testing::Values(
        RowCase{"HeaderOpening", "Sales 1", {"a", "b"}, kHeader,
                R"(INSERT INTO "Sales 1" VALUES('a','b');)"},
        RowCase{"PromptedOpening", "Sales 1", {"a", "b"}, kPrompted,
                R"(INSERT INTO "Sales 1" VALUES('a','b');)"},
        RowCase{"AppendOpening", "Sales 1", {"a", "b"}, kAppend,
                R"(INSERT INTO "Sales 1" VALUES('a','b');)"},
        RowCase{"HeaderQuoteInName", "x\"y", {"a", "b"}, kHeader,
                R"(INSERT INTO "x""y" VALUES('a','b');)"},
        RowCase{"PromptedQuoteInName", "x\"y", {"a", "b"}, kPrompted,
                R"(INSERT INTO "x""y" VALUES('a','b');)"},
        RowCase{"AppendQuoteInName", "\"); DROP TABLE \"T", {"a", "b"}, kAppend,
                R"(INSERT INTO """); DROP TABLE ""T" VALUES('a','b');)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RowStatementFromLine, SplitLinesGiveTheEdgeCaseValues)
{
    const QString comma = QStringLiteral(",");
    EXPECT_EQ(BuildRowStatement(QStringLiteral("T"), SplitFields(QStringLiteral("a,b,"), comma), kHeader),
              QStringLiteral(R"(INSERT INTO "T" VALUES('a','b',NULL);)"));
    EXPECT_EQ(BuildRowStatement(QStringLiteral("T"), SplitFields(QStringLiteral(",b"), comma), kHeader),
              QStringLiteral(R"(INSERT INTO "T" VALUES('','b');)"));
    EXPECT_EQ(BuildRowStatement(QStringLiteral("T"),
                                SplitFields(QStringLiteral("a|||b"), QStringLiteral("||")), kHeader),
              QStringLiteral(R"(INSERT INTO "T" VALUES('a','|b');)"));
    // A quoted field holding the separator is still cut at it.
    EXPECT_EQ(BuildRowStatement(QStringLiteral("T"), SplitFields(QStringLiteral("\"x,y\",z"), comma),
                                kPrompted),
              QStringLiteral(R"(INSERT INTO "T" VALUES('x','y','z');)"));
}

// ---------------------------------------------------------------------------
// The column-count query, the column prompt, the quoted name itself

struct NameTextCase {
    const char* table;
    const char* query;
    const char* quoted;
};

class TableNameTexts : public ::testing::TestWithParam<NameTextCase> {};

TEST_P(TableNameTexts, QueryAndQuotedName)
{
    const QString table = QString::fromUtf8(GetParam().table);
    EXPECT_EQ(BuildColumnCountQuery(table).toStdString(), GetParam().query);
    EXPECT_EQ(QuoteTableName(table).toStdString(), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(Names, TableNameTexts,
                         ::testing::Values(NameTextCase{"Target", R"(SELECT * FROM "Target")", R"("Target")"},
                                           NameTextCase{"my table", R"(SELECT * FROM "my table")", R"("my table")"},
                                           NameTextCase{"a\"b", R"(SELECT * FROM "a""b")", R"("a""b")"},
                                           NameTextCase{"\"", R"(SELECT * FROM """")", R"("""")"},
                                           NameTextCase{"O'Neil", R"(SELECT * FROM "O'Neil")", R"("O'Neil")"},
                                           NameTextCase{"", R"(SELECT * FROM "")", R"("")"}));

TEST(ColumnPrompt, NamesTheOneBasedColumnNumber)
{
    EXPECT_EQ(ColumnNamePrompt(1), QStringLiteral("Enter name for column #1:"));
    EXPECT_EQ(ColumnNamePrompt(12), QStringLiteral("Enter name for column #12:"));
}

}  // namespace

// ---------------------------------------------------------------------------
// Rows of a table with detected types: numbers go bare only when they are
// plain number literals (the rows are read again after the detection), a
// date goes in ISO form, an empty field is NULL even first, and a text too
// long for one DB2 string constant is joined from several onto a CLOB.

struct TypedRowCase {
    const char* name;
    std::vector<ColumnType> types;
    QStringList fields;
    QString statement;
};

class TypedRowStatement : public ::testing::TestWithParam<TypedRowCase> {};

TEST_P(TypedRowStatement, IsByteExact)
{
    const TypedRowCase& c = GetParam();
    RowValues values = BuildRowValues(c.fields, RowStyle::HeaderColumns);
    ApplyColumnTypes(values, c.types);
    EXPECT_EQ(BuildRowStatement(QStringLiteral("T"), values, &c.types), c.statement);
}

const ColumnType kInteger{ColumnKind::Integer};
const ColumnType kDayFirst{ColumnKind::Date, 0, 0, 1, DateLayout::DaySlashMonth};
const ColumnType kClob{ColumnKind::Clob, 0, 0, 40000};
const QString kSmile = QString::fromUtf8("\xf0\x9f\x98\x80");

INSTANTIATE_TEST_SUITE_P(
    Types, TypedRowStatement,
    ::testing::Values(
        TypedRowCase{"NumbersBareDatesIsoEmptyFirstNull", {kInteger, kDayFirst, kInteger},
                     {"", "13/2/2023", "-7"}, R"(INSERT INTO "T" VALUES(NULL,'2023-02-13',-7);)"},
        TypedRowCase{"ValueNotANumberStaysQuoted", {kInteger, kDayFirst},
                     {"1);DROP TABLE x;--'", "2/13/2023"}, R"(INSERT INTO "T" VALUES('1);DROP TABLE x;--''','2/13/2023');)"},
        TypedRowCase{"LongTextJoinedOntoAClob", {kInteger, kClob},
                     {"1", QString(7999, 'x') + kSmile + "'y"},
                     R"(INSERT INTO "T" VALUES(1,CAST(')" + QString(7999, 'x') + R"(' AS CLOB(40K)) || ')" + kSmile
                         + R"(''y');)"}),
    [](const auto& info) { return std::string(info.param.name); });
