#include "base/CallsOnThread.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <stop_token>
#include <thread>

using namespace quorvane;

// A stop while a call to the window's thread is still queued: the caller
// returns at once, and the work never runs, not even once the window's
// thread handles its events; later calls are not made either.
TEST(CallsOnThread, AStopDropsACallStillQueued)
{
    QObject owner;  // of this thread, which handles no event until the end
    std::stop_source stop;
    CallsOnThread calls(&owner, stop.get_token());
    std::atomic<bool> ran{false};
    std::atomic<int> made{-1};
    std::thread worker([&] { made = calls.call([&] { ran = true; }) ? 1 : 0; });
    QThread::msleep(100);
    EXPECT_EQ(made, -1) << "the call did not wait for the window's thread";
    stop.request_stop();
    worker.join();
    EXPECT_EQ(made, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(calls.call([&] { ran = true; }));
    EXPECT_FALSE(ran);
}
