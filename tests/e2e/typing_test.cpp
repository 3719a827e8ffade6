// Typing on while an insertion runs: keys pressed after a trigger reach the application after the
// date, in order, none lost or doubled.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "e2e_support.h"

namespace orvalin::e2e {
namespace {

// A fast typist: a key every 30 ms, the trigger "dt " in the middle of the words.
void typeFast(const std::string& text) {
    run("xdotool type --delay 30 '" + text + "' >/dev/null 2>&1");
}

class TypingThrough : public ::testing::Test {
protected:
    static void SetUpTestSuite() { run_ = std::make_unique<ProgramUnderTest>(); }
    static void TearDownTestSuite() { run_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(run_->target().started());
        ASSERT_TRUE(running(run_->program())) << run_->programErrors();
        run_->target().focusAndClear();
        setClipboardText("texte connu");
    }

    static inline std::unique_ptr<ProgramUnderTest> run_;
};

TEST_F(TypingThrough, KeysTypedAfterTheTriggerFollowTheDateInAQtWindow) {
    const std::string expected = "le " + today("%Y-%m-%d ") + "puis";
    for (int run = 0; run < 3; ++run) {  // one lucky run proves little
        run_->target().focusAndClear();
        typeFast("le dt puis");
        EXPECT_TRUE(run_->target().waitForText(expected)) << run_->target().text();
        EXPECT_TRUE(waitUntil([] { return clipboardText() == "texte connu"; }, 5s)) << clipboardText();
    }
    EXPECT_EQ(run_->target().chords(), "ctrl+v\n") << "one paste for the last run, nothing pressed twice";
}

}  // namespace
}  // namespace orvalin::e2e
