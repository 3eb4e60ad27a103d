#include "help/FormatExplanation.h"
#include "help/LoginHelp.h"

#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(LoginHelpTest, TenParagraphsEachFollowedByTwoLoneCarriageReturns)
{
    const QString text = LoginHelpText();
    EXPECT_FALSE(text.contains(QLatin1Char('\n')));
    const QStringList pieces = text.split(QStringLiteral("\r\r"));
    ASSERT_EQ(pieces.size(), 11);  // ten paragraphs and the empty rest after the last pair
    EXPECT_TRUE(pieces.last().isEmpty());
    EXPECT_EQ(pieces.first(), QStringLiteral("Here is how I connected to my IBM DB2 database."));
    EXPECT_EQ(pieces.at(8), QStringLiteral("Please visit:"));
}

TEST(LoginHelpTest, AddressesAreWellFormedIbmAddresses)
{
    for (const QString& address : {kIbmWebSite, kDb2ClientDownloadPage, kDb2PortSupportPage}) {
        const QUrl url(address, QUrl::StrictMode);
        EXPECT_TRUE(url.isValid()) << address.toStdString();
        EXPECT_EQ(url.scheme(), QStringLiteral("https"));
        EXPECT_EQ(url.host(), QStringLiteral("www.ibm.com"));
    }
}

TEST(FormatExplanationTest, BlankLinesWhereTheSampleNeedsThemAndNoTrailingBreak)
{
    const QStringList lines = FormatExplanationText().split(QStringLiteral("\r\n"));
    const QStringList expected = {
        QStringLiteral("Text files should look like this:"),
        QString(),
        QStringLiteral("Name,State"),
        QStringLiteral("Peter,NH"),
        QStringLiteral("Jane,MA"),
        QString(),
        QStringLiteral("Also, if appending, make sure the number of columns in the text file match "
                       "the number of columns in the table."),
        QString(),
        QStringLiteral("When appending, number of columns and data types (number, decimal, text, "
                       "etc.) must be identical."),
        QString(),
        QStringLiteral("In the separator, type \\t for a tab and \\\\ for a backslash."),
        QString(),
        QStringLiteral("File encoding: Automatic reads a file with a byte-order mark as the "
                       "mark says, a file that is valid UTF-8 throughout as UTF-8, and any "
                       "other as Windows-1252; a line that cannot be read in the chosen "
                       "encoding is reported and not sent."),
        QString(),
        QStringLiteral("With \"Fields may be enclosed in double quotes\", a field such as "
                       "\"Smith, John\" may hold the separator and line breaks, and \"\" inside "
                       "it stands for one double quote.")};
    EXPECT_EQ(lines, expected);
    EXPECT_FALSE(FormatExplanationText().contains(QRegularExpression(QStringLiteral("\r(?!\n)"))));
}

}  // namespace
}  // namespace quorvane
