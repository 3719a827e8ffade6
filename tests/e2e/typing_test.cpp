// Typing on while an insertion runs: keys pressed after a trigger reach the application after the
// date, in order, none lost or doubled.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "e2e_desktop.h"
#include "support/other_x_client.h"

namespace orvalin::e2e {
namespace {

// A fast typist: a key every 30 ms, the trigger "dt " in the middle of the words.
void typeFast(const std::string& text) {
    xdotool("type --delay 30 '" + text + "'");
}

class TypingThrough : public ::testing::Test {
protected:
    static void SetUpTestSuite() { run_ = std::make_unique<ProgramUnderTest>(); }
    static void TearDownTestSuite() { run_.reset(); }
    void SetUp() override { ASSERT_TRUE(run_->readyForACase()); }

    static inline std::unique_ptr<ProgramUnderTest> run_;
};

// "le dt puis" typed fast, three times (one lucky run proves little): the keys after the trigger
// follow the date and the user's clipboard comes back. `enter` ends each line, for a terminal.
void typeThroughInsertions(Target& target, const std::string& enter = "") {
    const std::string expected = "le " + today("%Y-%m-%d ") + "puis" + enter;
    for (int run = 0; run < 3; ++run) {
        target.focusAndClear();
        typeFast("le dt puis" + enter);
        EXPECT_TRUE(target.waitForText(expected)) << target.text();
        EXPECT_TRUE(clipboardComesBack());
    }
}

TEST_F(TypingThrough, KeysTypedAfterTheTriggerFollowTheDateInAQtWindow) {
    typeThroughInsertions(run_->target());
    EXPECT_EQ(run_->target().chords(), "ctrl+v\n") << "one paste for the last run, nothing pressed twice";
}

// GTK and xterm fetch the paste asynchronously: keys typed meanwhile must still wait for it.
TEST_F(TypingThrough, KeysTypedAfterTheTriggerFollowTheDateInAGtkEntry) {
    Target gtk(run_->home.path(), "gtk.txt", TargetKind::Gtk);
    ASSERT_TRUE(gtk.started());
    typeThroughInsertions(gtk);
}

TEST_F(TypingThrough, KeysTypedAfterTheTriggerFollowTheDateInXterm) {
    Target xterm(run_->home.path(), "xterm.txt", TargetKind::Terminal);
    ASSERT_TRUE(xterm.started());
    typeThroughInsertions(xterm, "\n");
}

// An owner that lists six formats and never sends one: the program does not wait for it while
// keys come, erases none of them, and leaves the trigger rather than the clipboard lost.
TEST_F(TypingThrough, AnOwnerThatNeverSendsItsContentCostsNoKeystroke) {
    OtherXClient owner;
    owner.takeClipboardListingFormatsOnly();
    for (int run = 0; run < 2; ++run) {  // read while typing, then known unreadable
        run_->target().focusAndClear();
        typeFast("le dt puis");
        EXPECT_TRUE(run_->target().waitForText("le dt puis")) << run_->target().text();
        std::this_thread::sleep_for(1200ms);  // past the read's bound: nothing arrives late
        EXPECT_EQ(run_->target().text(), "le dt puis");
    }
    EXPECT_TRUE(running(run_->orvalin)) << run_->errors();
}

}  // namespace
}  // namespace orvalin::e2e
