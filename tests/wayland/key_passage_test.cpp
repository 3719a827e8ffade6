// The order of the user's keys and the program's insertions on the pass-through thread, and the
// keys that make the keys after them wait, as pure code on a clock of the test's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shortcut.h"
#include "core/virtual_keys.h"
#include "platform/wayland/key_passage.h"
#include "platform/wayland/trigger_watch.h"

namespace orvalin::wayland {
namespace {

using namespace std::chrono_literals;

// What reaches the application, in order: "+30" a press of key 30, "-30" its release, "m1" the
// modifiers (depressed 1), "erase 3 date" an insertion.
class Recorder final : public KeyPassage::Sink {
public:
    void forwardKey(std::uint32_t, std::uint32_t key, std::uint32_t state) override {
        got.push_back((state != 0 ? "+" : "-") + std::to_string(key));
    }
    void forwardModifiers(std::uint32_t depressed, std::uint32_t, std::uint32_t, std::uint32_t) override {
        got.push_back("m" + std::to_string(depressed));
    }
    void insert(std::size_t erase, std::string_view text) override {
        got.push_back("erase " + std::to_string(erase) + " " + std::string(text));
    }
    std::vector<std::string> got;
};

class KeyPassageTest : public ::testing::Test {
protected:
    // Key `key` pressed and released; its press numbered `id`.
    void tap(std::uint32_t key, std::uint64_t id, bool barrier = false) {
        passage.press(0, key, id, barrier, now);
        passage.release(0, key);
    }
    using Keys = std::vector<std::string>;
    Recorder app;
    KeyPassage passage{app};
    KeyPassage::Clock::time_point now = KeyPassage::Clock::time_point{} + 1h;
};

TEST_F(KeyPassageTest, OrdinaryKeysGoOnAtOnceAndNothingIsAwaited) {
    tap(30, 1);
    passage.modifiers(1, 0, 0, 0);
    tap(31, 2);
    EXPECT_EQ(app.got, (Keys{"+30", "-30", "m1", "+31", "-31"}));
    EXPECT_FALSE(passage.deadline());
    EXPECT_TRUE(passage.insert(2, 0, "x"));
}

// "dt " then "x" typed before the engine answered for the space: the x waits, the erase hits
// the trigger, the x follows the date.
TEST_F(KeyPassageTest, KeysAfterABarrierWaitForItsAnswerAndFollowItsInsertion) {
    tap(57, 3, true);
    passage.modifiers(1, 0, 0, 0);  // Shift for the X
    passage.press(0, 45, 4, false, now);
    passage.release(0, 45);
    EXPECT_EQ(app.got, (Keys{"+57", "-57"})) << "the space's release goes at once: held, it would repeat";
    ASSERT_TRUE(passage.deadline());
    EXPECT_TRUE(passage.insert(3, 3, "8 déc."));
    passage.answered(3, now);
    EXPECT_EQ(app.got, (Keys{"+57", "-57", "erase 3 8 déc.", "m1", "+45", "-45"}));
    EXPECT_FALSE(passage.deadline());
    EXPECT_FALSE(passage.insert(3, 3, "again")) << "the x reached the application since";
}

TEST_F(KeyPassageTest, HeldBarriersAreAwaitedInTurnAndAnAnswerOutOfTurnChangesNothing) {
    tap(57, 1, true);
    tap(20, 2, true);
    tap(21, 3);
    passage.answered(2, now);
    EXPECT_EQ(app.got, (Keys{"+57", "-57"}));
    passage.answered(1, now);
    EXPECT_EQ(app.got, (Keys{"+57", "-57", "+20", "-20"})) << "the second barrier now holds the rest";
    passage.answered(2, now);
    EXPECT_EQ(app.got.back(), "-21");
}

TEST_F(KeyPassageTest, AnUnansweredBarrierLetsKeysGoAfterTheBoundAndItsLateInsertionIsDropped) {
    tap(57, 1, true);
    tap(45, 2);
    passage.expire(now + KeyPassage::kAnswerBound - 1ms);
    EXPECT_EQ(app.got.size(), 2u);
    passage.expire(now + KeyPassage::kAnswerBound);
    EXPECT_EQ(app.got, (Keys{"+57", "-57", "+45", "-45"}));
    EXPECT_FALSE(passage.insert(1, 3, "date"));
    EXPECT_TRUE(passage.insert(0, 0, "panel")) << "an insertion of no key (the panel) always goes";
    EXPECT_EQ(app.got.back(), "erase 0 panel");
}

TEST_F(KeyPassageTest, AtTheEndHeldKeysGoOnAndKeysStillDownAreReleased) {
    tap(57, 1, true);
    passage.press(0, 45, 2, false, now);
    passage.press(0, 46, 3, false, now);
    passage.release(0, 46);
    passage.releaseAll();
    EXPECT_EQ(app.got, (Keys{"+57", "-57", "+45", "+46", "-46", "-45"}));
    EXPECT_FALSE(passage.holding());
    EXPECT_FALSE(passage.deadline());
}

// ---- Which keys are barriers

KeyEvent typed(std::string_view characters, std::uint16_t keyCode = 0, std::uint32_t modifiers = 0) {
    return KeyEvent{keyCode, modifiers, characters};
}

TEST(TriggerWatch, OnlyTheKeyThatCompletesATriggerIsABarrier) {
    TriggerWatch watch;
    watch.setTriggers({"dt ", ";date"});
    EXPECT_FALSE(watch.mayComplete(typed("d")));
    EXPECT_FALSE(watch.mayComplete(typed("t")));
    EXPECT_FALSE(watch.mayComplete(typed("x")));
    EXPECT_FALSE(watch.mayComplete(typed(" "))) << "\"dtx \" ends no trigger";
    EXPECT_FALSE(watch.mayComplete(typed("d")));
    EXPECT_FALSE(watch.mayComplete(typed("t")));
    EXPECT_TRUE(watch.mayComplete(typed(" ")));
    for (const char* c : {";", "d", "a", "t"}) EXPECT_FALSE(watch.mayComplete(typed(c)));
    EXPECT_TRUE(watch.mayComplete(typed("e")));
}

TEST(TriggerWatch, FollowsBackspaceArrowsModifiersAndFocusAsTheEngineDoes) {
    TriggerWatch watch;
    watch.setTriggers({"dt "});
    watch.mayComplete(typed("d"));
    watch.mayComplete(typed("x"));
    watch.mayComplete(typed("", vkey::kBackspace));
    watch.mayComplete(typed("t"));
    EXPECT_TRUE(watch.mayComplete(typed(" "))) << "Backspace took the x back";
    watch.mayComplete(typed("d"));
    watch.mayComplete(typed("", vkey::kLeftArrow));
    watch.mayComplete(typed("t"));
    EXPECT_FALSE(watch.mayComplete(typed(" "))) << "an arrow starts afresh";
    watch.mayComplete(typed("d"));
    watch.mayComplete(typed("t"));
    EXPECT_FALSE(watch.mayComplete(typed(" ", 49, modifier::kControl)));
    watch.clear();
    EXPECT_FALSE(watch.mayComplete(typed(" ")));
}

// Where the engine may have cleared its characters (a key combination fired) and this copy did
// not, this copy holds more: the trigger typed afterwards is still seen.
TEST(TriggerWatch, KeepingMoreThanTheEngineNeverMissesATrigger) {
    TriggerWatch watch;
    watch.setTriggers({"dt "});
    watch.mayComplete(typed("q"));
    watch.mayComplete(typed("d", 2, modifier::kControl | modifier::kShift));
    for (const char* c : {"d", "t"}) watch.mayComplete(typed(c));
    EXPECT_TRUE(watch.mayComplete(typed(" ")));
}

}  // namespace
}  // namespace orvalin::wayland
