// The program ending (SIGTERM, as at logout, or "Quitter Orvalin", which ends the same way) never
// costs the user a date under way or the content of the clipboard.
#include <gtest/gtest.h>
#include <signal.h>

#include <memory>
#include <thread>

#include "e2e_desktop.h"

namespace orvalin::e2e {
namespace {

// Each case ends the program: a fresh run for each.
class Quitting : public ::testing::Test {
protected:
    void SetUp() override {
        run_ = std::make_unique<ProgramUnderTest>();
        ASSERT_TRUE(run_->readyForACase());
    }
    // SIGTERM, then the program must have ended by itself.
    ::testing::AssertionResult terminate() {
        ::kill(run_->orvalin, SIGTERM);
        auto status = waitExit(run_->orvalin, 10s);
        if (!status) return ::testing::AssertionFailure() << "still running after SIGTERM";
        if (*status != 0) return ::testing::AssertionFailure() << "ended with " << *status;
        return ::testing::AssertionSuccess();
    }

    std::unique_ptr<ProgramUnderTest> run_;
};

TEST_F(Quitting, ASignalDuringAnInsertionStillGivesTheDateAndKeepsTheClipboard) {
    // A target that fetches the date 400 ms after the chord; the signal comes at about 150 ms.
    Target slow(run_->home.path(), "slow.txt", {"--paste-delay", "400"});
    ASSERT_TRUE(slow.started());
    slow.focusAndClear();
    xdotool("key --delay 20 d t space");
    std::this_thread::sleep_for(150ms);
    ASSERT_TRUE(terminate());
    EXPECT_TRUE(slow.waitForText(today("%Y-%m-%d "))) << slow.text();
    EXPECT_TRUE(clipboardComesBack());
}

TEST_F(Quitting, TheClipboardOutlivesTheProgramAndALaterStartIsNotHeldUp) {
    keys("d t space");
    ASSERT_TRUE(run_->target().waitForText(today("%Y-%m-%d "))) << run_->target().text();
    // The user's text is back, now served by the program (xclip gave it up to the date).
    ASSERT_TRUE(clipboardComesBack());
    ASSERT_TRUE(terminate());
    EXPECT_EQ(clipboardText(), kKnownText);
    EXPECT_EQ(capture("xclip -o -selection clipboard -t text/plain 2>/dev/null"), kKnownText);

    // A new start works as ever and still finds the user's text to put back.
    ASSERT_TRUE(run_->startListening()) << run_->errors();
    run_->target().focusAndClear();
    keys("d t c space");
    EXPECT_TRUE(run_->target().waitForText(today("%d/%m/%Y "))) << run_->target().text();
    EXPECT_TRUE(clipboardComesBack());

    // Once another program takes the clipboard, the keeper has nothing left to do.
    setClipboardText("autre chose");
    EXPECT_TRUE(waitUntil([] { return !clipboardKeeperRunning(); }, 5s));
}

}  // namespace
}  // namespace orvalin::e2e
