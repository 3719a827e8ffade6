#include "platform/single_instance_guard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace orvalin {
namespace {

namespace fs = std::filesystem;

class SingleInstanceTest : public ::testing::Test {
protected:
    TempDir temp_{"orvalin-instance"};
    std::string dir_ = temp_.path();
};

TEST_F(SingleInstanceTest, ASecondClaimFindsTheFirstAndAsksItToShowItself) {
    SingleInstanceGuard first("display:1", dir_);
    ASSERT_EQ(first.claim(), SingleInstanceGuard::Role::Primary);
    int shown = 0;
    first.onShowRequested([&] { ++shown; });

    SingleInstanceGuard second("display:1", dir_);
    ASSERT_EQ(second.claim(), SingleInstanceGuard::Role::Secondary);
    ASSERT_TRUE(second.notifyPrimary());
    QElapsedTimer t;
    t.start();
    while (shown == 0 && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(shown, 1);

    // Another display is another instance.
    SingleInstanceGuard other("display:2", dir_);
    EXPECT_EQ(other.claim(), SingleInstanceGuard::Role::Primary);
}

TEST_F(SingleInstanceTest, AGoneInstanceLeavesNothingThatBlocksTheNext) {
    {
        SingleInstanceGuard first("display:1", dir_);
        ASSERT_EQ(first.claim(), SingleInstanceGuard::Role::Primary);
    }
    // A socket file left behind by a crash does not matter either.
    SingleInstanceGuard probe("display:1", dir_);
    std::ofstream(probe.socketPath()) << "stale";
    ASSERT_EQ(probe.claim(), SingleInstanceGuard::Role::Primary);
    EXPECT_TRUE(probe.failure().empty()) << probe.failure();
}

TEST_F(SingleInstanceTest, NobodyListeningMeansTheNotificationFails) {
    SingleInstanceGuard lone("display:9", dir_);
    EXPECT_FALSE(lone.notifyPrimary(300));
}

TEST_F(SingleInstanceTest, OddKeysStayInsideTheDirectory) {
    SingleInstanceGuard guard("../../etc/x:0.0", dir_);
    EXPECT_EQ(fs::path(guard.socketPath()).parent_path(), fs::path(dir_));
}

}  // namespace
}  // namespace orvalin
