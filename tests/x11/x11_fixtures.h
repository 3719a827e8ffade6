#pragma once

// What the X11 suites set up on their private X server: the keyboard as the program records and
// types it, and the program's clipboard with another client reading it back.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt_clipboard_pasteboard.h"
#include "platform/x11/paste_sequence.h"
#include "platform/x11/record_key_monitor.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/xcb_selection_reader.h"
#include "platform/x11/xtest_key_synthesizer.h"
#include "support/other_x_client.h"

namespace orvalin::x11 {

using namespace std::chrono_literals;

// Runs the event loop until `done` holds, at most `timeoutMs`.
inline bool spin(const std::function<bool()>& done, int timeoutMs = 5000) {
    return QTest::qWaitFor(done, timeoutMs);
}

// Another X client reads or sets a selection (xclip), as a target, a clipboard manager or the
// user would.
inline std::string xclip(const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    process.start("xclip", args);
    if (!input.isNull()) {
        process.write(input);
        process.closeWriteChannel();
    }
    // xclip -i stays in the background serving what it set; its output is read once it forked.
    spin([&] { return process.state() == QProcess::NotRunning; }, 5000);
    return process.readAllStandardOutput().toStdString();
}
inline std::string readSelection(const char* selection, const char* target = "UTF8_STRING") {
    return xclip({"-o", "-selection", selection, "-t", target});
}

// What the synthesizer told of its paste chords.
struct ChordLog final : PasteChordListener {
    void chordQueued() override { ++queued; }
    void chordChosen(bool readsPrimary) override { fromPrimary = readsPrimary; }
    void chordTyped() override {}
    void chordSent() override { ++sent; }
    void chordFailed() override { ++failed; }
    bool pending() const { return sent + failed < queued; }
    int queued = 0, sent = 0, failed = 0;
    bool fromPrimary = false;
};

struct SeenKey {
    std::uint16_t keyCode;
    std::uint32_t modifiers;
    std::string characters;
};

// The user types in a text editor; the program records the keys and types its own.
class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        user_.focus(user_.window("TextEditor"));
        conn_ = X11Connection::open();
        ASSERT_TRUE(conn_);
        monitor_ = std::make_unique<RecordKeyMonitor>(*conn_, nullptr, "C.UTF-8");
        ASSERT_TRUE(monitor_->start([this](const KeyEvent& e) {
            seen_.push_back({e.keyCode, e.modifiers, std::string(e.characters)});
        })) << monitor_->failure();
        synth_ = synthesizer(chords_);
        // The recording is live once it sees a key.
        ASSERT_TRUE(spin([&] {
            user_.key(XCB_KEY_PRESS, 67);  // F1
            user_.key(XCB_KEY_RELEASE, 67);
            return spin([&] { return !seen_.empty(); }, 200);
        }));
        QTest::qWait(300);  // the keys of every attempt have come in
        seen_.clear();
    }
    void TearDown() override {
        std::system("setxkbmap -layout us");
        synth_.reset();
        monitor_.reset();
        conn_.reset();
    }
    // Types as the program does, on the keymap the monitor follows.
    std::unique_ptr<XTestKeySynthesizer> synthesizer(PasteChordListener& chords) {
        RecordKeyMonitor* m = monitor_.get();
        return std::make_unique<XTestKeySynthesizer>(
            *conn_, chords, [m](std::uint32_t s) { return m->keycodeForKeysym(s); },
            [m](std::uint32_t k) { return m->isModifierKeycode(k); }, 300ms);
    }
    bool waitSeen(std::size_t n) {
        return spin([&] { return seen_.size() >= n; });
    }
    long seenCount(std::uint16_t keyCode) const {
        return std::count_if(seen_.begin(), seen_.end(),
                             [&](const SeenKey& k) { return k.keyCode == keyCode; });
    }
    void layout(const char* name) {
        ASSERT_EQ(std::system((std::string("setxkbmap -layout ") + name).c_str()), 0);
        QTest::qWait(300);  // the keymap change has come in
    }

    OtherXClient user_;
    std::unique_ptr<X11Connection> conn_;
    ChordLog chords_;
    std::unique_ptr<RecordKeyMonitor> monitor_;
    std::unique_ptr<XTestKeySynthesizer> synth_;
    std::vector<SeenKey> seen_;
};

// The program's clipboard as the X11 route builds it; the tests play the key synthesizer.
class PasteboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        conn_ = X11Connection::open();
        ASSERT_TRUE(conn_);
        reader_ = std::make_unique<XcbSelectionReader>(*conn_);
        clipboard_ = std::make_unique<QtClipboardPasteboard>(reader_.get());
        pasteboard_ = std::make_unique<PasteSequence>(*conn_, *clipboard_);
    }
    // A paste chord went out.
    void pasted() {
        pasteboard_->chordQueued();
        pasteboard_->chordSent();
    }
    void TearDown() override {
        pasteboard_.reset();
        clipboard_.reset();
        QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
        QGuiApplication::clipboard()->clear(QClipboard::Selection);
    }
    std::string clipboardText() { return QGuiApplication::clipboard()->text().toStdString(); }

    std::unique_ptr<X11Connection> conn_;
    std::unique_ptr<XcbSelectionReader> reader_;
    std::unique_ptr<QtClipboardPasteboard> clipboard_;
    std::unique_ptr<PasteSequence> pasteboard_;
};

}  // namespace orvalin::x11
