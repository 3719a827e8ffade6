// Key presses in, insertions out: typed triggers, buffer editing and key combinations, each checked
// against the exact timeline of clipboard and synthesized-key calls on the virtual clock.

#include <chrono>
#include <functional>

#include "support/engine_fixture.h"
#include "support/scoped_env.h"

namespace orvalin {
namespace {

constexpr std::uint32_t kShift = modifier::kShift;
constexpr std::uint32_t kAlt = modifier::kAlt;
constexpr std::uint32_t kSuper = modifier::kSuper;
constexpr std::uint32_t kCapsLock = modifier::kCapsLock;
constexpr std::uint16_t kBackspace = 51, kEscape = 53, kLeft = 123, kRight = 124, kDown = 125, kUp = 126;
constexpr std::uint16_t kKeyD = 2, kKeyV = 9, kF5 = 96;

TEST_F(EngineTest, BuiltInTriggerErasesItselfPastesRightBehindAndRestoresAt150) {
    start();
    userCopied("mine");

    p.monitor.type("dt ");
    const std::string iso = p.clock.date("yyyy-MM-dd ");
    EXPECT_EQ(manager->bufferLength(), 0u);
    EXPECT_EQ(p.keys.presses.size(), 4u) << "no pause between the Backspaces and the paste";
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), triggerTimeline(3, "mine", iso));
    EXPECT_EQ(p.keys.presses.back(), (fakes::FakeKeySynthesizer::Press{9, 0x100000}));
    EXPECT_EQ(p.keys.presses.front(), (fakes::FakeKeySynthesizer::Press{51, 0}));
}

TEST_F(EngineTest, TheClipboardIsReadAheadOneKeyBeforeATriggerButNotDuringAnInsertion) {
    startWith({literalEntry("A", "dt "), literalEntry("E", "\xC3\xA9")});  // "é" alone
    p.monitor.type("xd");
    EXPECT_EQ(p.pasteboard.prepares, 0);
    p.monitor.type("t");  // "dt" lacks only the space
    EXPECT_EQ(p.pasteboard.prepares, 1);
    p.monitor.type(" ");
    EXPECT_EQ(p.timeline.only({"prepare", "snapshot"}),
              (std::vector<TimelineEntry>{{0ms, "prepare", "<empty>"}, {0ms, "snapshot", "<empty>"}}));
    p.monitor.type("dt");  // while the insertion is under way its snapshot is already taken
    EXPECT_EQ(p.pasteboard.prepares, 1);
    p.scheduler.advance(1s);
    p.monitor.type("xdt");
    EXPECT_EQ(p.pasteboard.prepares, 2);
}

TEST_F(EngineTest, LongerBuiltInTriggerWinsBecauseTheShorterDoesNotEndTheBuffer) {
    start();
    p.timeline.clear();
    p.monitor.type("dtc ");
    const std::string court = p.clock.date("dd/MM/yyyy ");
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), triggerTimeline(4, "<empty>", court)) << "an empty clipboard stays empty";

    p.timeline.clear();
    p.monitor.type("abcdt ");  // no word boundary needed
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), triggerTimeline(3, "<empty>", p.clock.date("yyyy-MM-dd "), 1000ms));
}

TEST_F(EngineTest, BackspaceEditsTheBufferAndNavigationKeysEmptyIt) {
    startWith({literalEntry("A", "dt ")});
    p.monitor.type("dt");
    p.monitor.press(kBackspace);
    p.monitor.type("t ");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 1) << "d, t, Backspace, t, space fires";

    for (std::uint16_t reset : {kEscape, kLeft, kRight, kDown, kUp}) {
        p.monitor.type("d");
        p.monitor.press(reset);
        EXPECT_EQ(manager->bufferLength(), 0u) << reset;
        p.monitor.type("t ");
        EXPECT_EQ(manager->bufferLength(), 2u) << reset;
        p.monitor.press(kEscape);
    }
    p.monitor.press(kBackspace);  // on an empty buffer: nothing
    p.monitor.type("d");
    p.monitor.press(115, 0, "");     // Home types nothing and does not reset
    p.monitor.press(0x8000, 0, "");  // neither does a dead key
    p.monitor.type("t ");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 2);
    EXPECT_EQ(p.keys.presses.size(), 2u * 4u) << "two insertions of three Backspaces and one paste";
}

TEST_F(EngineTest, ShiftKeepsACharacterOutOfTheBufferAndCapsLockDoesNot) {
    startWith({literalEntry("A", "dt ")});
    p.monitor.press(kKeyD, kShift, "D");
    EXPECT_EQ(manager->bufferLength(), 0u);
    p.monitor.type("t ");
    EXPECT_EQ(manager->bufferLength(), 2u);
    p.monitor.press(kEscape);

    p.monitor.press(kKeyD, kCapsLock, "d");
    p.monitor.press(17, kCapsLock, "t");
    p.monitor.press(49, kCapsLock, " ");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 1);
}

// Which entry typed text fires, and how many Backspaces erase its trigger: one a character, however
// many code points or key presses it took.
TEST_F(EngineTest, TypedTextFiresTheRightEntryAndErasesItsTriggerCharacterByCharacter) {
    const std::string party = "\xF0\x9F\x8E\x89";                               // U+1F389
    const std::string family = "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";  // woman ZWJ girl
    const std::string acute = "\xCC\x81";                                       // a combining acute
    const std::string q30(30, 'q'), q31(31, 'q');
    const std::vector<Shortcut> overlapping{literalEntry("SHORT", "t "), literalEntry("LONG", "dt ")};
    const std::vector<Shortcut> tooLong{literalEntry("A", q31), literalEntry("B", q30)};
    const std::vector<Shortcut> emoji{literalEntry("P", party), literalEntry("F", "#" + family)};
    const std::vector<Shortcut> accented{literalEntry("DATE", "d\xC3\xA9 ")};  // precomposed
    const std::vector<Shortcut> marks{literalEntry("MARK", acute), literalEntry("Q", "x" + acute)};
    const std::vector<Shortcut> empty{literalEntry("A", "")};
    const std::vector<Shortcut> emptyPattern{Shortcut{Uuid::generate(), "Vide", "", "zz", std::nullopt}};
    struct Case {
        const char* what;
        const std::vector<Shortcut>& entries;
        std::string typed;
        int backspaces;
        const char* inserted;  // nothing fires when null
    };
    const Case cases[] = {
        {"overlapping triggers: the first in list order", overlapping, "dt ", 2, "SHORT"},
        {"a trigger longer than the buffer never fires", tooLong, q31, 30, "B"},
        {"an emoji", emoji, party, 1, "P"},
        {"four code points typed one by one, two characters", emoji, "#" + family, 2, "F"},
        {"an accent typed as a combining mark", accented, "de" + acute + " ", 3, "DATE"},
        {"a lone mark never matches the accent of a character", marks, "q" + acute, 0, nullptr},
        {"a letter with its mark as a whole", marks, "x" + acute, 1, "Q"},
        {"an empty trigger never fires", empty, "anything at all ", 0, nullptr},
        {"an empty pattern still erases the trigger", emptyPattern, "zz", 2, ""},
    };
    for (const Case& c : cases) {
        manager.reset();
        startWith(c.entries);
        const auto t0 = p.scheduler.now();
        p.monitor.type(c.typed);
        p.scheduler.advance(1s);
        EXPECT_EQ(insertionCalls(), c.inserted ? triggerTimeline(c.backspaces, "<empty>", c.inserted, t0)
                                               : std::vector<TimelineEntry>{})
            << c.what;
    }
}

TEST_F(EngineTest, CombinationPastesAtTwentyAndIgnoresCapsLock) {
    startWith({literalEntry("A", "zz", combo(kKeyD, kSuper | kAlt))});
    userCopied("mine");
    p.monitor.press(kKeyD, kSuper | kAlt | kCapsLock);
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), (std::vector<TimelineEntry>{{0ms, "snapshot", "mine"},
                                                            {0ms, "setText", "A"},
                                                            {20ms, "key 9 flags 0x100000", "A"},
                                                            {170ms, "restore", "mine"}}));
    p.monitor.press(kKeyD, kSuper | kAlt | kShift);  // a different set of modifiers
    p.monitor.press(kKeyD, kSuper);
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 1);
}

// The date is the format's: its day, counted from the moment of the key, in its language.
TEST_F(EngineTest, TriggersAndCombinationsInsertTheirFormatsDayInItsLanguage) {
    ScopedEnv locale("LC_ALL", "fr_FR.UTF-8");
    Shortcut english{Uuid::generate(), "E", "EEEE d MMMM yyyy", "dte ", combo(kKeyD, kSuper | kAlt)};
    english.dayOffset = 1;
    english.locale = "en-US";
    Shortcut french{Uuid::generate(), "F", "EEEE d MMMM", "dtf ", combo(kF5, 0)};
    french.dayOffset = -2;
    startWith({english, french});
    const std::string tomorrow = p.clock.date("EEEE d MMMM yyyy", 1, "en_US");
    const std::string before = p.clock.date("EEEE d MMMM", -2, "fr_FR");
    const std::vector<std::pair<std::function<void()>, std::string>> insertions{
        {[&] { p.monitor.type("dte "); }, tomorrow},
        {[&] { p.monitor.press(kKeyD, kSuper | kAlt); }, tomorrow},
        {[&] { p.monitor.type("dtf "); }, before},
        {[&] { p.monitor.press(kF5); }, before},
    };
    for (const auto& [insert, expected] : insertions) {
        p.timeline.clear();
        insert();
        p.scheduler.advance(1s);
        const auto set = p.timeline.only({"setText"});
        ASSERT_EQ(set.size(), 1u) << expected;
        EXPECT_EQ(set.front().clipboard, expected);
    }
}

TEST_F(EngineTest, EqualCombinationsFireInListOrderAndEmptyTheBuffer) {
    startWith({literalEntry("FIRST", "dt ", combo(kKeyD, kSuper)),
               literalEntry("OTHER", "", combo(3, kSuper)),
               literalEntry("SECOND", "", combo(kKeyD, kSuper | kCapsLock))});
    p.monitor.type("dt");
    p.monitor.press(kKeyD, kSuper);
    EXPECT_EQ(manager->bufferLength(), 0u);
    p.monitor.type(" ");  // the trigger started before the combination does not complete
    p.scheduler.advance(1s);
    auto texts = p.timeline.only({"setText", "key 9"});
    EXPECT_EQ(texts, (std::vector<TimelineEntry>{{0ms, "setText", "FIRST"},
                                                 {0ms, "setText", "SECOND"},
                                                 {20ms, "setText", "FIRST"},
                                                 {20ms, "key 9 flags 0x100000", "FIRST"},
                                                 {20ms, "setText", "SECOND"},
                                                 {20ms, "key 9 flags 0x100000", "SECOND"}}));
}

TEST_F(EngineTest, ModifiedKeyWithoutMatchOrStoredCodeBeyondSixteenBitsLeavesTheBufferAlone) {
    startWith({literalEntry("A", "dt ")});
    p.monitor.type("dt");
    p.monitor.press(kKeyD, kSuper, "d");
    p.monitor.type(" ");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 1);
    manager->setShortcuts({});
    p.monitor.press(kKeyD, kSuper);
    p.monitor.type("dt ");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 1) << "an empty list does nothing";
    manager->setShortcuts(
        {literalEntry("A", "", combo(0x10000 + kKeyD, kSuper)), literalEntry("B", "", combo(0x10000, 0))});
    p.monitor.press(kKeyD, kSuper);
    p.monitor.press(0, 0, "a");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 1) << "a stored key code beyond sixteen bits never matches";
}

TEST_F(EngineTest, UnmodifiedCombinationFiresInsteadOfTyping) {
    startWith({literalEntry("F5", "dt ", combo(kF5, 0)), literalEntry("F6", "", combo(97, kCapsLock))});
    p.monitor.type("dt");
    p.monitor.press(kF5, 0, "\xEF\x9C\x88");  // a function key's private-use character
    EXPECT_EQ(manager->bufferLength(), 0u);
    p.monitor.type(" ");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.timeline.only({"setText"}), (std::vector<TimelineEntry>{{0ms, "setText", "F5"}}));
    p.monitor.press(97, kCapsLock);  // Caps Lock is not a modifier of the combination
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 2);
}

TEST_F(EngineTest, OwnPasteChordDoesNotRetriggerACombinationOnIt) {
    startWith({literalEntry("A", "", combo(kKeyV, kSuper))});
    p.monitor.press(kKeyV, kSuper);
    p.scheduler.advance(20ms);
    // The synthesized Command-V comes back through the monitor, at once or, when the desktop held
    // the chord back, after the clipboard was restored.
    p.monitor.press(kKeyV, kSuper);
    p.scheduler.advance(1400ms);
    EXPECT_FALSE(manager->isInsertionUnderWay());
    p.monitor.press(kKeyV, kSuper);
    EXPECT_EQ(p.pasteboard.texts, 1);
    p.scheduler.advance(1s);
    p.monitor.press(kKeyV, kSuper);  // a real press later fires again
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 2);
}

TEST_F(EngineTest, EditsTakeEffectFromTheNextKeyPress) {
    startWith({literalEntry("A", "dt ")});
    Shortcut edited = manager->shortcuts()[0];
    edited.trigger = ";d";
    EXPECT_TRUE(manager->updateShortcut(edited));
    p.monitor.type("dt ;d");
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), triggerTimeline(2, "<empty>", "A"));
}

// A program slow to wake up reads the keys typed on after a trigger together with it: they already
// reached the application, so they are erased with the trigger and pasted back after the date. A
// key a paste cannot reproduce keeps the trigger as typed.
TEST_F(EngineTest, KeysReadWithTheTriggerFollowTheDateOrKeepTheTriggerAsTyped) {
    startWith({literalEntry("A", "dt ")});
    p.pasteboard.userCopies(fakes::textContent("mine"));
    p.timeline.clear();
    p.monitor.oneRead([&] {
        p.monitor.type("dt pX");
        p.monitor.press(kBackspace);
        p.monitor.press(35, kShift, "P");
        p.monitor.type("d");
    });
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), triggerTimeline(6, "mine", "ApPd"));
    p.monitor.type("t ");  // what followed the trigger may begin the next one
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.texts, 2);

    const auto keepsTheTrigger = [&](const std::function<void()>& after) {
        p.monitor.oneRead([&] {
            p.monitor.type("dt ");
            after();
        });
        p.scheduler.advance(1s);
    };
    keepsTheTrigger([&] { p.monitor.press(kLeft); });
    keepsTheTrigger([&] { p.monitor.press(kBackspace); });
    keepsTheTrigger([&] { p.monitor.type("\r"); });
    keepsTheTrigger([&] { p.monitor.press(kKeyD, kAlt, "d"); });
    keepsTheTrigger([&] { p.activeApplications.switchApplication(); });
    EXPECT_EQ(p.pasteboard.texts, 2);
    EXPECT_EQ(p.keys.presses.size(), 11u);
}

}  // namespace
}  // namespace orvalin
