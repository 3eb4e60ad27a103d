#include "cli/CliHelp.h"
#include "cli/CliOptions.h"
#include "import/ImportMessages.h"
#include "text/SeparatorEscapes.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quorvane;
using namespace quorvane::cli;

struct BadArguments {
    const char* name;
    QStringList arguments;
    const char* errorFragment;
};

class CliRefusesArguments : public ::testing::TestWithParam<BadArguments> {};

TEST_P(CliRefusesArguments, WithAClearReason)
{
    const ParseResult result = ParseArguments(GetParam().arguments);
    EXPECT_FALSE(result.options.has_value());
    EXPECT_TRUE(result.error.contains(QString::fromUtf8(GetParam().errorFragment)))
        << result.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliRefusesArguments,
    ::testing::Values(
        BadArguments{"PasswordArgument", {"--password", "secret", "a.txt"}, "QUORVANE_PASSWORD"},
        BadArguments{"PasswordInline", {"--password=secret", "a.txt"}, "--password-file"},
        BadArguments{"Unknown", {"--colour", "a.txt"}, "Unknown option --colour"},
        BadArguments{"MissingValue", {"a.txt", "--separator"}, "--separator needs a value"},
        BadArguments{"TwoModes", {"--create", "T", "--append", "U", "a.txt"}, "either --create or --append"},
        BadArguments{"NoInputs", {"--create", "T"}, "No files or folders"},
        BadArguments{"UnknownEncoding", {"--encoding", "NO-SUCH-CODE", "a.txt"}, "Unknown encoding NO-SUCH-CODE"},
        BadArguments{"QuotedTakesNoValue", {"--quoted=yes", "a.txt"}, "--quoted takes no value"},
        BadArguments{"BatchSizeZero", {"--fast", "--batch-size", "0", "a.txt"}, "--batch-size takes a number"},
        BadArguments{"BatchSizeNotANumber", {"--batch-size=1k", "a.txt"}, "--batch-size takes a number"},
        BadArguments{"TypesNeitherTextNorDetected", {"--types", "auto", "a.txt"}, "--types takes text or detected"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliArguments, ModesSeparatorsAndInputsInOrder)
{
    const ParseResult result = ParseArguments({"--append=Orders", "--separator", "\\t", "--encoding",
                                               "latin1", "--quoted", "--fast", "--batch-size=50", "--rejects", "out",
                                               "--match-names", "b.txt", "--", "--odd-name.txt", "a.txt"});
    ASSERT_TRUE(result.options) << result.error.toStdString();
    EXPECT_EQ(result.options->mode, ImportMode::AppendExisting);
    EXPECT_EQ(result.options->appendTable, QStringLiteral("Orders"));
    EXPECT_EQ(result.options->separator, QStringLiteral("\t"));
    EXPECT_EQ(result.options->encoding, QStringLiteral("latin1"));
    EXPECT_TRUE(result.options->quoted);
    EXPECT_TRUE(result.options->fast);
    EXPECT_TRUE(result.options->matchNames);
    EXPECT_EQ(result.options->batchSize, 50);
    EXPECT_EQ(result.options->rejectsFolder, QStringLiteral("out"));
    EXPECT_EQ(result.options->inputs, (QStringList{"b.txt", "--odd-name.txt", "a.txt"}));
    const ParseResult created = ParseArguments({"--types=detected", "--upper-case-names", "x.csv"});
    ASSERT_TRUE(created.options) << created.error.toStdString();
    EXPECT_TRUE(created.options->detectTypes);
    EXPECT_TRUE(created.options->upperCaseNames);

    const ParseResult defaults = ParseArguments({"x.csv"});
    ASSERT_TRUE(defaults.options);
    EXPECT_EQ(defaults.options->pattern, QStringLiteral("NewTable[counter]"));
    EXPECT_EQ(defaults.options->separator, QStringLiteral(","));
    EXPECT_EQ(defaults.options->encoding, QString());  // Automatic
    EXPECT_FALSE(defaults.options->quoted);
    EXPECT_FALSE(defaults.options->fast);
    EXPECT_FALSE(defaults.options->matchNames);
    EXPECT_EQ(defaults.options->batchSize, 1000);
    EXPECT_EQ(defaults.options->rejectsFolder, QString());
    EXPECT_FALSE(defaults.options->detectTypes);
    EXPECT_FALSE(defaults.options->upperCaseNames);
    EXPECT_EQ(ParseArguments({"--encoding=automatic", "x.csv"}).options->encoding, QString());

    const ParseResult version = ParseArguments({"--version"});  // needs no files
    ASSERT_TRUE(version.options) << version.error.toStdString();
    EXPECT_TRUE(version.options->version);
}

TEST(CliArguments, SeparatorEscapes)
{
    EXPECT_EQ(UnescapeSeparator(QStringLiteral("\\t")), QStringLiteral("\t"));
    EXPECT_EQ(UnescapeSeparator(QStringLiteral("a\\nb")), QStringLiteral("a\nb"));
    EXPECT_EQ(UnescapeSeparator(QStringLiteral("\\\\t")), QStringLiteral("\\t"));
    EXPECT_EQ(UnescapeSeparator(QStringLiteral("\\x|")), QStringLiteral("\\x|"));
    EXPECT_EQ(UnescapeSeparator(QStringLiteral("||")), QStringLiteral("||"));
    // Spelt again as typed, for messages: the round trip gives the separator back.
    for (const char* typed : {"\\t", "a\\nb", "\\\\t", "\\x|", "\\", "||"})
        EXPECT_EQ(EscapeSeparator(UnescapeSeparator(QString::fromLatin1(typed))), QString::fromLatin1(typed));
    EXPECT_TRUE(ColumnCountMismatchMessage(QStringLiteral("f"), QStringLiteral("\t"), 1, QStringLiteral("T"), 2)
                    .contains(QStringLiteral("f was split by \\t and has 1 columns.")));
}

TEST(CliHelp, ManualPageNamesEveryOptionOfTheHelpText)
{
    QFile page(QStringLiteral(QUORVANE_CLI_MANPAGE));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString manual = QString::fromUtf8(page.readAll()).remove(QLatin1Char('\\'));
    const QRegularExpression option(QStringLiteral("--[a-z-]+"));
    int seen = 0;
    for (const auto& match : option.globalMatch(kHelpText)) {
        ++seen;
        EXPECT_TRUE(manual.contains(match.captured())) << match.captured().toStdString();
    }
    EXPECT_GE(seen, 11);
}
