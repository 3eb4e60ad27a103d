#include "widgets/ProgramLifetime.h"

#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(ProgramLifetimeTest, YieldingAfterTheEndStopsTheHandlerAtOnce)
{
    ProgramLifetime lifetime;
    QWidget window;
    window.show();
    bool carriedOn = false;
    lifetime.handle([&] {
        // The user closes a main window while the work yields.
        QTimer::singleShot(0, [&] { lifetime.endProgram(); });
        lifetime.processEvents();
        carriedOn = true;
    });
    EXPECT_FALSE(carriedOn);
    EXPECT_TRUE(lifetime.isEnding());
    EXPECT_FALSE(window.isVisible());
}

TEST(ProgramLifetimeTest, NoHandlerRunsOnceTheProgramIsEnding)
{
    ProgramLifetime lifetime;
    lifetime.endProgram();
    bool ran = false;
    lifetime.handle([&] { ran = true; });
    EXPECT_FALSE(ran);
    EXPECT_THROW(lifetime.processEvents(), ProgramEnding);
}

TEST(ProgramLifetimeTest, YieldingWhileRunningDoesNotThrow)
{
    ProgramLifetime lifetime;
    EXPECT_NO_THROW(lifetime.processEvents());
    EXPECT_FALSE(lifetime.isEnding());
}

}  // namespace
}  // namespace quorvane
