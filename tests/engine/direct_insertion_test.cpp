// Insertions on a desktop that takes text directly: no clipboard, no synthesized paste.

#include "support/engine_fixture.h"

namespace orvalin {
namespace {

constexpr std::uint16_t kKeyD = 2;

class DirectInsertionTest : public EngineTest {
protected:
    DirectInsertionTest() { p.engine.textInserter = &p.inserter; }
    std::vector<TimelineEntry> directCalls() const {
        return p.timeline.only({"insert", "snapshot", "setText", "key ", "restore", "prepare"});
    }
};

TEST_F(DirectInsertionTest, TriggersCombinationsAndPanelInsertDirectlyAndLeaveTheClipboardAlone) {
    startWith({literalEntry("A", "aa", combo(kKeyD, modifier::kControl)), literalEntry("Bé", "bé ")});
    p.pasteboard.userCopies(fakes::textContent("mine"));
    p.timeline.clear();

    // Erased and inserted at once: keys reach the application through us, so a line break read
    // with the trigger is still behind it.
    p.monitor.oneRead([&] { p.monitor.type("aa\r"); });
    p.scheduler.advance(10ms);
    p.monitor.type("xbé ");  // the erase counts characters, not bytes
    p.scheduler.advance(10ms);
    p.monitor.press(kKeyD, modifier::kControl);  // 20: waits the combination's delay
    manager->pasteText("PANEL", 150ms);          // 20: waits for the panel to be gone
    EXPECT_TRUE(manager->isInsertionUnderWay());
    p.scheduler.advance(1s);

    EXPECT_EQ(directCalls(), (std::vector<TimelineEntry>{
                                 {0ms, "insert 2 A", "mine"},
                                 {10ms, "insert 3 Bé", "mine"},
                                 {40ms, "insert 0 A", "mine"},
                                 {170ms, "insert 0 PANEL", "mine"},
                             }));
    EXPECT_FALSE(manager->isInsertionUnderWay());
    EXPECT_EQ(p.pasteboard.snapshots + p.pasteboard.texts + p.pasteboard.restores + p.pasteboard.prepares, 0);
}

TEST_F(DirectInsertionTest, ARefusedInsertionLeavesTheEngineReadyAndTeardownDropsWaitingOnes) {
    startWith({literalEntry("A", "aa")});
    p.inserter.accepts = false;
    p.monitor.type("aa");
    EXPECT_EQ(manager->bufferLength(), 0u);
    p.inserter.accepts = true;
    p.monitor.type("aa");
    manager->pasteText("LATE", 150ms);
    manager.reset();  // the program ends before the panel's insertion is due
    p.scheduler.advance(1s);
    EXPECT_EQ(directCalls(),
              (std::vector<TimelineEntry>{{0ms, "insert 2 A", "<empty>"}, {0ms, "insert 2 A", "<empty>"}}));
    EXPECT_EQ(p.scheduler.pendingOnce(), 0u);
}

// The Wayland route's platform: no synthesized keys, no clipboard; a platform with no way in
// at all leaves every trigger as typed.
TEST_F(DirectInsertionTest, APlatformWithoutClipboardInsertsDirectlyAndOneWithoutAnyRouteNowhere) {
    p.engine.keySynthesizer = nullptr;
    p.engine.pasteboard = nullptr;
    startWith({literalEntry("A", "aa", combo(kKeyD, modifier::kControl))});
    p.monitor.type("aa");
    p.monitor.press(kKeyD, modifier::kControl);
    EXPECT_FALSE(manager->simulatePaste());
    manager->pasteAndRestore(fakes::textContent("mine"));
    p.scheduler.advance(1s);
    EXPECT_EQ(directCalls(),
              (std::vector<TimelineEntry>{{0ms, "insert 2 A", "<empty>"}, {20ms, "insert 0 A", "<empty>"}}));

    manager.reset();
    p.engine.textInserter = nullptr;
    startWith({literalEntry("A", "aa")});
    p.monitor.type("aa");
    manager->pasteText("PANEL", 0ms);
    p.scheduler.advance(1s);
    EXPECT_TRUE(directCalls().empty());
    EXPECT_FALSE(manager->isInsertionUnderWay());
    EXPECT_EQ(manager->bufferLength(), 0u) << "the trigger was seen";
}

}  // namespace
}  // namespace orvalin
