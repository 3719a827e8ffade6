// The X11 pieces against a real X server of their own (Xvfb).
#include <QElapsedTimer>
#include <QMimeData>
#include <cstdlib>

#include "platform/x11/active_window_watcher.h"
#include "platform/x11/x11_trust_query.h"
#include "x11_fixtures.h"

namespace orvalin::x11 {
namespace {

TEST_F(KeyboardTest, TheMonitorSeesEveryClientsKeysWithLayoutAndModifiers) {
    user_.key(XCB_KEY_PRESS, 40);  // D
    user_.key(XCB_KEY_RELEASE, 40);
    user_.key(XCB_KEY_PRESS, 50);  // Shift: no event of its own
    user_.key(XCB_KEY_PRESS, 40);
    user_.key(XCB_KEY_RELEASE, 40);
    user_.key(XCB_KEY_RELEASE, 50);
    ASSERT_TRUE(waitSeen(2));
    QTest::qWait(100);
    ASSERT_EQ(seen_.size(), 2u);
    EXPECT_EQ(seen_[0].keyCode, 2);
    EXPECT_EQ(seen_[0].characters, "d");
    EXPECT_EQ(seen_[1].modifiers, 0x20000u);
    EXPECT_EQ(seen_[1].characters, "D");

    // A new keymap applies to the keys that follow it.
    layout("fr");
    user_.key(XCB_KEY_PRESS, 11);
    user_.key(XCB_KEY_RELEASE, 11);
    ASSERT_TRUE(waitSeen(3));
    EXPECT_EQ(seen_[2].characters, "é");

    // Stopped, it sees nothing more.
    monitor_->stop();
    user_.key(XCB_KEY_PRESS, 40);
    user_.key(XCB_KEY_RELEASE, 40);
    QTest::qWait(200);
    EXPECT_EQ(seen_.size(), 3u);
}

TEST_F(KeyboardTest, BackspaceAndThePasteChordOfTheFocusedWindow) {
    synth_->postBackspace();
    synth_->postCommandV();
    ASSERT_TRUE(waitSeen(2));
    EXPECT_EQ(seen_[0].keyCode, 51);
    EXPECT_EQ(seen_[0].modifiers, 0u);
    EXPECT_EQ(seen_[1].keyCode, 9);
    EXPECT_EQ(seen_[1].modifiers, 0x40000u);
    EXPECT_EQ(chords_.sent, 1);

    user_.focus(user_.window("kitty", 0));
    synth_->postCommandV();
    ASSERT_TRUE(waitSeen(3));
    EXPECT_EQ(seen_[2].keyCode, 9);
    EXPECT_EQ(seen_[2].modifiers, 0x60000u);

    EXPECT_FALSE(chords_.fromPrimary);
    user_.focus(user_.window("XTerm", 0));
    synth_->postCommandV();
    ASSERT_TRUE(waitSeen(4));
    EXPECT_EQ(seen_[3].keyCode, 114);  // Insert
    EXPECT_EQ(seen_[3].modifiers, 0x20000u);
    EXPECT_TRUE(chords_.fromPrimary) << "the date must be on the selection Shift+Insert pastes";
    EXPECT_FALSE(user_.anyKeyDown());
}

TEST_F(KeyboardTest, ThePasteWaitsForHeldModifiersWithinABound) {
    user_.key(XCB_KEY_PRESS, 64);  // Alt held from a combination
    QTest::qWait(50);
    synth_->postCommandV();
    QTest::qWait(150);
    EXPECT_TRUE(seen_.empty());
    EXPECT_TRUE(chords_.pending());
    user_.key(XCB_KEY_RELEASE, 64);
    ASSERT_TRUE(waitSeen(1));
    EXPECT_EQ(seen_[0].modifiers, 0x40000u);  // exactly Control+V

    // Held past the bound: pasted anyway, still as the bare chord, and nothing left down.
    user_.key(XCB_KEY_PRESS, 37);  // Control
    user_.key(XCB_KEY_PRESS, 50);  // Shift
    synth_->postCommandV();
    ASSERT_TRUE(waitSeen(2));
    EXPECT_EQ(seen_[1].keyCode, 9);
    EXPECT_EQ(seen_[1].modifiers, 0x40000u);
    EXPECT_FALSE(user_.anyKeyDown());
}

// Other parts of the program select events on the root through the same connection: the watch
// adds to them rather than replacing them.
TEST(ActiveWindowWatcher, OnlyAWindowOfAnotherProcessCountsAndTheRootKeepsItsOtherEvents) {
    auto conn = X11Connection::open();
    ASSERT_TRUE(conn);
    std::uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(conn->raw(), conn->root(), XCB_CW_EVENT_MASK, &structure);
    OtherXClient other;
    xcb_window_t a1 = other.window("A", 100), a2 = other.window("A", 100), b = other.window("B", 200);
    other.setActive(a1);
    ActiveWindowWatcher watcher(*conn);
    int switches = 0;
    watcher.start([&] { ++switches; });
    auto* attributes = xcb_get_window_attributes_reply(
        conn->raw(), xcb_get_window_attributes(conn->raw(), conn->root()), nullptr);
    ASSERT_NE(attributes, nullptr);
    EXPECT_EQ(attributes->your_event_mask, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE);
    free(attributes);

    QTest::qWait(100);
    EXPECT_EQ(switches, 0);
    other.setActive(a2);
    QTest::qWait(150);
    EXPECT_EQ(switches, 0);
    other.setActive(b);
    EXPECT_TRUE(spin([&] { return switches == 1; }));
    other.setActive(XCB_WINDOW_NONE);
    QTest::qWait(150);
    other.setActive(a1);
    EXPECT_TRUE(spin([&] { return switches == 2; }));
    watcher.stop();
    other.setActive(b);
    QTest::qWait(150);
    EXPECT_EQ(switches, 2);
}

TEST(TrustQuery, TheTestServerOffersEverythingAndTheAnswerIsNotAskedAgain) {
    auto conn = X11Connection::open();
    ASSERT_TRUE(conn);
    X11TrustQuery trust(conn.get());
    EXPECT_TRUE(trust.isTrusted()) << trust.missing();
    // The engine asks every 30 s; a server's extensions do not come and go, so the program and
    // the server are not woken for it.
    auto nextRequest = [&] { return xcb_no_operation(conn->raw()).sequence; };
    const unsigned int before = nextRequest();
    EXPECT_TRUE(trust.isTrusted());
    EXPECT_EQ(nextRequest(), before + 1);
    X11TrustQuery none(nullptr);
    EXPECT_FALSE(none.isTrusted());
}

TEST_F(PasteboardTest, TheRestoreWaitsUntilTheTargetFetchedTheDate) {
    auto* old = new QMimeData;
    old->setText("ancien");
    old->setHtml("<b>ancien</b>");
    QGuiApplication::clipboard()->setMimeData(old);
    PasteboardSnapshot saved = pasteboard_->snapshot();
    ASSERT_GE(saved.items.size(), 2u);

    pasteboard_->setText("2026-03-20 ");
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data("x-kde-passwordManagerHint"), "secret");
    // A snapshot while the date is on the clipboard gives the user's content, not the date.
    EXPECT_EQ(pasteboard_->snapshot(), saved);
    pasted();
    QTest::qWait(160);
    pasteboard_->restore(saved);
    QTest::qWait(300);
    EXPECT_TRUE(pasteboard_->restoreHeld());
    EXPECT_EQ(clipboardText(), "2026-03-20 ");

    // The slow target fetches now and still gets the date; the old content comes back right after.
    EXPECT_EQ(readSelection("clipboard"), "2026-03-20 ");
    EXPECT_TRUE(spin([&] { return !pasteboard_->restoreHeld(); }, 500));
    EXPECT_EQ(clipboardText(), "ancien");
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->html().toStdString(), "<b>ancien</b>");
}

TEST_F(PasteboardTest, WithoutAFetchTheRestoreComesAtTheBoundAndAnEmptySnapshotClears) {
    QGuiApplication::clipboard()->clear();
    PasteboardSnapshot saved = pasteboard_->snapshot();
    EXPECT_TRUE(saved.empty());
    pasteboard_->setText("date");
    pasted();
    QElapsedTimer t;
    t.start();
    pasteboard_->restore(saved);
    ASSERT_TRUE(spin([&] { return !pasteboard_->restoreHeld(); }, 3000));
    EXPECT_GE(t.elapsed(), 700);
    EXPECT_LE(t.elapsed(), 2000);
    EXPECT_EQ(clipboardText(), "");
    EXPECT_FALSE(QGuiApplication::clipboard()->ownsClipboard());
}

}  // namespace
}  // namespace orvalin::x11
