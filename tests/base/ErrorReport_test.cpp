#include "base/ApplicationTitle.h"
#include "base/ErrorReport.h"

#include <gtest/gtest.h>

using namespace quorvane;

TEST(ErrorReport, TextIsExactWithLoneCarriageReturnsBeforeTheSupportRequest)
{
    EXPECT_EQ(BuildErrorReportText(QStringLiteral("Disk full"), Location::LoginWindowTestConnection, 104),
              QStringLiteral("Disk full\r\nin Velbrook2021/08/31.Form1.PushButton2_Click at line 104"
                             "\r\rPlease email screenshot of this message to ")
                  + kSupportAddress);
}

TEST(ErrorReport, EmptyDescriptionStillStartsWithCrLf)
{
    const QString text = BuildErrorReportText(QString(), Location::SubDirectories, 100);
    EXPECT_TRUE(text.startsWith(QStringLiteral("\r\nin DremmelTitle2021/08/31.AddFolder."
                                               "GetSubDirectories2016 at line 100\r\r")));
}

struct TitleCase {
    const char* product;
    const char* title;
};

class ApplicationTitleRule : public ::testing::TestWithParam<TitleCase> {};

TEST_P(ApplicationTitleRule, CutsAtWordBoundaries)
{
    EXPECT_EQ(ComputeApplicationTitle(QString::fromUtf8(GetParam().product)),
              QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ApplicationTitleRule,
    ::testing::Values(TitleCase{"Quorvane", "Quorvane"},
                      TitleCase{"Quorvane Text Loader", "Quorvane Text"},
                      TitleCase{"Quorvane Loader For Text Files Into IBM DB2 Databases",
                                "Quorvane Loader For Text Files Into IBM"},
                      TitleCase{"Averyveryveryveryveryveryveryveryverylongword short",
                                "Averyveryveryveryveryveryveryveryverylongword"}));
