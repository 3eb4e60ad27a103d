#include "base/ErrorReport.h"
#include "base/ReportingProcedure.h"

#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;

namespace {
const QString kWhere = QStringLiteral("Velbrook2021/08/31.Form9.Sample");

[[noreturn]] void fail(const char* why) { throw Failure(QString::fromUtf8(why)); }

// A routine without a report of its own: its failure goes to the caller.
void helperThatFails() { fail("inner failure"); }
}  // namespace

TEST(ReportingProcedure, ReportsTheLineOfTheFailedStepAndGoesOn)
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage(BuildErrorReportText(QStringLiteral("boom"), kWhere, 100));
    QStringList ran;
    ReportingProcedure proc(dialogs, kWhere);
    proc.step(100, [&] { fail("boom"); });
    proc.step(102, [&] { ran << "102"; });
    EXPECT_EQ(ran, QStringList{"102"});
}

TEST(ReportingProcedure, SecondStatementOfALineReportsThatLineAndTheThirdStillRuns)
{
    ScriptedDialogs dialogs;
    dialogs.expectErrorReport(kWhere, 106);
    QStringList ran;
    ReportingProcedure proc(dialogs, kWhere);
    proc.step(106, [&] { ran << "caption"; });
    proc.step(106, [&] { fail("icon"); });
    proc.step(106, [&] { ran << "title"; });
    EXPECT_EQ(ran, (QStringList{"caption", "title"}));
}

TEST(ReportingProcedure, FailedBranchTestCountsAsPassed)
{
    ScriptedDialogs dialogs;
    dialogs.expectErrorReport(kWhere, 138);
    bool guardedRan = false;
    ReportingProcedure proc(dialogs, kWhere);
    if (proc.test(138, [&]() -> bool { fail("no driver manager"); }))
        proc.step(140, [&] { guardedRan = true; });
    EXPECT_TRUE(guardedRan);
}

TEST(ReportingProcedure, FailureInACalledRoutineIsReportedWithTheCallersLine)
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage(BuildErrorReportText(QStringLiteral("inner failure"), kWhere, 124));
    ReportingProcedure proc(dialogs, kWhere);
    proc.step(124, [&] { helperThatFails(); });
}

TEST(ReportingProcedure, StandardExceptionsAreDescribedToo)
{
    ScriptedDialogs dialogs;
    dialogs.expectMessageContaining(QStringLiteral("plain std failure\r\nin "));
    ReportingProcedure proc(dialogs, kWhere);
    proc.step(100, [] { throw std::runtime_error("plain std failure"); });
}

TEST(ReportingProcedure, ProgramEndingIsNeverSwallowed)
{
    ScriptedDialogs dialogs;
    ReportingProcedure proc(dialogs, kWhere);
    EXPECT_THROW(proc.step(100, [] { throw ProgramEnding{}; }), ProgramEnding);
}

TEST(ReportingProcedure, ReportBoxIsTheWarningBoxWithItsOwnTitle)
{
    ScriptedDialogs dialogs;
    dialogs.acceptAnything();
    ReportingProcedure proc(dialogs, kWhere);
    proc.step(100, [] { fail("x"); });
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("Application Error"));
    EXPECT_TRUE(dialogs.shown()[0].warningIcon);
}
