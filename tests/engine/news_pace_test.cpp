// Which keys wake the main thread at once, on a clock of the test's own: ordinary characters wait,
// and no key typed while the program's own window may have the keyboard waits.
#include <gtest/gtest.h>

#include "core/shortcut.h"
#include "core/virtual_keys.h"
#include "engine/news_pace.h"

namespace orvalin {
namespace {

constexpr std::uint16_t kKeyA = 0;  // the key codes of A and F5
constexpr std::uint16_t kKeyF5 = 96;

class NewsPaceTest : public ::testing::Test {
protected:
    NewsPace::Tell tell(std::string_view characters, std::uint32_t modifiers = 0,
                        std::uint16_t keyCode = kKeyA) {
        return pace.urgency({keyCode, modifiers, characters}, false, true);
    }
    bool urgent(std::string_view characters, std::uint32_t modifiers = 0, std::uint16_t keyCode = kKeyA) {
        return tell(characters, modifiers, keyCode) == NewsPace::Tell::Now;
    }
    NewsPace pace;
};

TEST_F(NewsPaceTest, OrdinaryCharactersWaitOnlyOnceTheFocusPeriodIsJudgedElsewhere) {
    EXPECT_TRUE(urgent("d"));  // nothing judged yet
    pace.answered(pace.period(), false);
    EXPECT_FALSE(urgent("d"));
    EXPECT_FALSE(urgent("T", modifier::kShift));
    // Without an active field focus may move to the program's window untold: nothing waits.
    EXPECT_EQ(pace.urgency({kKeyA, 0, "a"}, false, false), NewsPace::Tell::Now);
    pace.focusChanged();
    EXPECT_TRUE(urgent("d"));  // a new period waits for its own answer
    pace.answered(pace.period() - 1, false);
    EXPECT_TRUE(urgent("d"));  // an answer for the period before does not count
}

TEST_F(NewsPaceTest, KeysTheEngineActsOnAtOnceAreUrgent) {
    pace.answered(pace.period(), false);
    pace.setCombinationKeys({kKeyF5});
    EXPECT_TRUE(urgent("c", modifier::kControl));
    EXPECT_TRUE(urgent("", 0, vkey::kLeftArrow));
    EXPECT_TRUE(urgent("\b", 0, vkey::kBackspace));
    EXPECT_TRUE(urgent("\r", 0, vkey::kReturn));
    EXPECT_TRUE(urgent("", 0, kKeyF5));
    EXPECT_EQ(pace.urgency({vkey::kSpace, 0, " "}, true, true), NewsPace::Tell::Now);  // a barrier
}

// "dt" typed in the program's own trigger field, its window closed, " " typed elsewhere: the
// keys of the window's period were judged there, one by one, never late in another period.
TEST_F(NewsPaceTest, KeysInTheProgramsOwnWindowNeverWait) {
    pace.answered(pace.period(), false);
    pace.focusChanged();  // to the settings window
    EXPECT_TRUE(urgent("d"));
    pace.answered(pace.period(), true);
    EXPECT_TRUE(urgent("t"));
    pace.focusChanged();  // back to the application
    EXPECT_TRUE(urgent(" "));
}

// The idle bound runs from the first key that waits; keys told with other news end it.
TEST_F(NewsPaceTest, TheIdleBoundStartsWithTheFirstWaitingKey) {
    pace.answered(pace.period(), false);
    EXPECT_FALSE(pace.due());
    EXPECT_EQ(tell("a"), NewsPace::Tell::LaterFromHere);
    EXPECT_EQ(tell("b"), NewsPace::Tell::Later);
    EXPECT_TRUE(pace.due());
    EXPECT_FALSE(pace.due());
    EXPECT_EQ(tell("c"), NewsPace::Tell::LaterFromHere);
    EXPECT_TRUE(urgent("", modifier::kControl));  // "c" went along with it
    EXPECT_FALSE(pace.due());
    EXPECT_EQ(tell("d"), NewsPace::Tell::LaterFromHere);
    pace.focusChanged();  // told at once, with "d"
    EXPECT_FALSE(pace.due());
}

}  // namespace
}  // namespace orvalin
