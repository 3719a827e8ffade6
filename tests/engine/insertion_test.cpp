// The clipboard sequence of insertions, alone and overlapping, and what teardown leaves behind.

#include "support/engine_fixture.h"

namespace orvalin {
namespace {

constexpr std::uint16_t kKeyD = 2;

TEST_F(EngineTest, OverlappingTriggersEachPasteTheirOwnDateAndTheUsersClipboardComesBack) {
    startWith({literalEntry("A", "aa"), literalEntry("B", "bb")});
    userCopied("mine");

    p.monitor.type("aa");  // t = 0: paste at once, restore at 150
    p.scheduler.advance(30ms);
    p.monitor.type("bb");  // t = 30: paste at once, restore at 180
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), (std::vector<TimelineEntry>{
                                    {0ms, "snapshot", "mine"},
                                    {0ms, "key 51", "mine"},
                                    {0ms, "key 51", "mine"},
                                    {0ms, "setText", "A"},
                                    {0ms, "key 9 flags 0x100000", "A"},
                                    {30ms, "key 51", "A"},
                                    {30ms, "key 51", "A"},
                                    {30ms, "setText", "B"},  // no second snapshot: it would hold A
                                    {30ms, "key 9 flags 0x100000", "B"},
                                    {180ms, "restore", "mine"},  // once, after the last paste
                                }));
    EXPECT_FALSE(manager->isInsertionUnderWay());
}

TEST_F(EngineTest, InsertionStartingAfterTheRestoreTakesAFreshSnapshot) {
    startWith({literalEntry("A", "aa")});
    p.pasteboard.userCopies(fakes::textContent("first"));
    p.monitor.type("aa");
    p.scheduler.advance(150ms);
    EXPECT_EQ(p.pasteboard.describe(), "first");
    userCopied("second");
    p.monitor.type("aa");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.timeline.only({"snapshot"}), (std::vector<TimelineEntry>{{150ms, "snapshot", "second"}}));
    EXPECT_EQ(insertionCalls().back(), (TimelineEntry{300ms, "restore", "second"}));
}

TEST_F(EngineTest, ChainOfOverlapsAcrossTriggerCombinationAndPanelRestoresOnceAtTheEnd) {
    startWith({literalEntry("A", "aa", combo(kKeyD, modifier::kControl))});
    PasteboardSnapshot rich{
        {{"text/html", "<b>x</b>"}, {fakes::FakePasteboard::kTextType, "x"}, {"image/png", "PNG"}}};
    p.pasteboard.userCopies(rich);
    p.timeline.clear();

    p.monitor.type("aa");  // 0: paste at once, restore 150
    p.scheduler.advance(100ms);
    p.monitor.press(kKeyD, modifier::kControl);  // 100: paste 120, restore 270
    p.scheduler.advance(100ms);
    manager->pasteText("PANEL", 150ms);  // 200: paste 350, restore 500
    p.scheduler.advance(299ms);
    EXPECT_TRUE(manager->isInsertionUnderWay());
    EXPECT_EQ(p.pasteboard.restores, 0);
    p.scheduler.advance(1ms);
    EXPECT_EQ(p.timeline.only({"key 9", "restore"}), (std::vector<TimelineEntry>{
                                                         {0ms, "key 9 flags 0x100000", "A"},
                                                         {120ms, "key 9 flags 0x100000", "A"},
                                                         {350ms, "key 9 flags 0x100000", "PANEL"},
                                                         {500ms, "restore", p.pasteboard.describe()},
                                                     }));
    EXPECT_EQ(p.pasteboard.content, rich) << "every type of the user's content is back";
    EXPECT_EQ(p.pasteboard.snapshots, 1);
}

TEST_F(EngineTest, PanelPasteRunsTheSameSequenceWithItsOwnDelay) {
    start();
    userCopied("mine");
    manager->pasteText("06/12/2026", 150ms);
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), (std::vector<TimelineEntry>{{0ms, "snapshot", "mine"},
                                                            {0ms, "setText", "06/12/2026"},
                                                            {150ms, "key 9 flags 0x100000", "06/12/2026"},
                                                            {300ms, "restore", "mine"}}));
}

TEST_F(EngineTest, SharedStepsCanBeCalledOneByOne) {
    start();
    p.pasteboard.userCopies(fakes::textContent("mine"));
    PasteboardSnapshot saved = manager->snapshotPasteboard();
    p.pasteboard.setText("text");
    p.timeline.clear();
    manager->pasteAndRestore(saved);
    EXPECT_TRUE(manager->isInsertionUnderWay());
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), (std::vector<TimelineEntry>{{0ms, "key 9 flags 0x100000", "text"},
                                                            {150ms, "restore", "mine"}}));
    manager->simulatePaste();
    manager->restorePasteboard(PasteboardSnapshot{});
    EXPECT_EQ(p.pasteboard.describe(), "<empty>");
    EXPECT_EQ(p.keys.presses.size(), 2u);
}

TEST_F(EngineTest, AKeyTheLayoutCannotTypeEndsTheInsertionWithTheClipboardBackAtOnce) {
    startWith({literalEntry("A", "aa")});
    p.keys.typesV = false;
    userCopied("mine");
    p.monitor.type("aa");
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), (std::vector<TimelineEntry>{{0ms, "snapshot", "mine"},
                                                            {0ms, "key 51", "mine"},
                                                            {0ms, "key 51", "mine"},
                                                            {0ms, "setText", "A"},
                                                            {0ms, "key 9 impossible", "A"},
                                                            {0ms, "restore", "mine"}}));
    EXPECT_FALSE(manager->isInsertionUnderWay());
    EXPECT_EQ(manager->bufferLength(), 0u);

    // Without Backspace the trigger cannot be erased: it stays, no date lands beside it, and the
    // clipboard is not touched.
    p.keys.typesV = true;
    p.keys.typesBackspace = false;
    p.timeline.clear();
    p.monitor.type("aa");
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), (std::vector<TimelineEntry>{{1000ms, "snapshot", "mine"},
                                                            {1000ms, "key 51 impossible", "mine"}}));
    EXPECT_FALSE(manager->isInsertionUnderWay());
}

TEST_F(EngineTest, AClipboardThatCannotBeReadIsLeftAloneAndTheTriggerStays) {
    startWith({literalEntry("A", "aa")});
    p.pasteboard.ownerSilent = true;
    userCopied("mine");
    p.monitor.type("aa");
    manager->pasteText("PANEL", 150ms);
    p.scheduler.advance(1s);
    EXPECT_EQ(insertionCalls(), (std::vector<TimelineEntry>{{0ms, "snapshot unreadable", "mine"},
                                                            {0ms, "snapshot unreadable", "mine"}}));
    EXPECT_TRUE(p.keys.presses.empty()) << "no Backspace erased the trigger";
    EXPECT_FALSE(manager->isInsertionUnderWay());

    p.pasteboard.ownerSilent = false;  // once it answers again, triggers work as ever
    p.monitor.type("aa");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.keys.presses.size(), 3u);
    EXPECT_EQ(p.pasteboard.describe(), "mine");
}

TEST_F(EngineTest, AnInsertionWaitsForTheClipboardWithoutHoldingKeysAndGivesUpOnceTheUserTypesOn) {
    startWith({literalEntry("A", "aa", combo(kKeyD, modifier::kControl))});
    p.pasteboard.userCopies(fakes::textContent("mine"));
    p.pasteboard.answersLater = true;
    p.timeline.clear();

    p.monitor.type("aa");
    EXPECT_TRUE(p.keys.presses.empty()) << "nothing is erased before the content is in";
    EXPECT_TRUE(manager->isInsertionUnderWay());
    p.pasteboard.answer();
    EXPECT_EQ(p.keys.presses.size(), 3u) << "two Backspaces and the paste, once the content came";
    p.scheduler.advance(1s);
    EXPECT_EQ(p.pasteboard.describe(), "mine");

    // A key typed while waiting lands after the trigger: erasing now would take that key.
    p.keys.presses.clear();
    p.timeline.clear();
    p.monitor.type("aax");
    p.pasteboard.answer();
    EXPECT_EQ(insertionCalls(), (std::vector<TimelineEntry>{{1000ms, "snapshot asked", "mine"},
                                                            {1000ms, "snapshot cancelled", "mine"}}));
    EXPECT_FALSE(manager->isInsertionUnderWay());

    // A key combination erases nothing: keys typed meanwhile simply come before the date.
    p.monitor.press(kKeyD, modifier::kControl);
    p.monitor.type("x");
    p.pasteboard.answer();
    p.scheduler.advance(1s);
    EXPECT_EQ(p.keys.presses.size(), 1u) << "the paste, and no Backspace";
    EXPECT_EQ(p.pasteboard.describe(), "mine");
    EXPECT_FALSE(manager->isInsertionUnderWay());
}

TEST_F(EngineTest, TeardownDuringAnInsertionCancelsItsStepsAndGivesTheClipboardBack) {
    startWith({literalEntry("A", "aa"), literalEntry("B", "bb")});
    p.pasteboard.userCopies(fakes::textContent("mine"));
    p.monitor.type("aa");
    p.scheduler.advance(60ms);           // A pasted, its restore pending
    p.monitor.type("bb");                // B pasted, the restore now after it
    manager->pasteText("PANEL", 150ms);  // not yet pasted
    EXPECT_EQ(p.pasteboard.describe(), "PANEL");
    manager.reset();
    EXPECT_EQ(p.scheduler.pendingOnce(), 0u);
    EXPECT_EQ(p.pasteboard.describe(), "mine");
    p.scheduler.advance(1s);
    EXPECT_EQ(p.keys.presses.size(), 6u) << "four Backspaces and two pastes, nothing after teardown";
}

}  // namespace
}  // namespace orvalin
