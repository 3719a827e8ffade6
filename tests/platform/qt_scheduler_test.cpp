#include "platform/qt_scheduler.h"

#include <gtest/gtest.h>

#include <QTest>
#include <vector>

namespace orvalin {
namespace {

using std::chrono::milliseconds;

TEST(QtScheduler, SingleShotsRunOnceInTheOrderOfTheirDelays) {
    QtScheduler scheduler;
    std::vector<int> ran;
    scheduler.scheduleOnce(milliseconds(60), [&] { ran.push_back(3); });
    scheduler.scheduleOnce(milliseconds(0), [&] { ran.push_back(1); });
    scheduler.scheduleOnce(milliseconds(20), [&] { ran.push_back(2); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran.size() == 3; }));
    QTest::qWait(100);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(scheduler.activeTimers(), 0u);
}

TEST(QtScheduler, CancelStopsATimerAndIsHarmlessAfterwards) {
    QtScheduler scheduler;
    int once = 0, ticks = 0;
    auto id = scheduler.scheduleOnce(milliseconds(10), [&] { ++once; });
    scheduler.cancel(id);
    Scheduler::TimerId repeating = 0;
    repeating = scheduler.scheduleRepeating(milliseconds(5), [&] {
        // A tick may cancel its own timer.
        if (++ticks == 3) scheduler.cancel(repeating);
    });
    EXPECT_NE(repeating, 0u);
    EXPECT_NE(repeating, id);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }));
    QTest::qWait(100);
    EXPECT_EQ(once, 0);
    EXPECT_EQ(ticks, 3);
    scheduler.cancel(repeating);
    scheduler.cancel(12345);
    EXPECT_EQ(scheduler.activeTimers(), 0u);
}

TEST(QtScheduler, ATaskMayScheduleAnother) {
    QtScheduler scheduler;
    bool second = false;
    scheduler.scheduleOnce(milliseconds(1),
                           [&] { scheduler.scheduleOnce(milliseconds(1), [&] { second = true; }); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return second; }));
}

}  // namespace
}  // namespace orvalin
