#pragma once

#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>

#include "engine/platform.h"
#include "platform/x11/paste_chord_listener.h"

namespace orvalin {
class QtClipboardPasteboard;
}

namespace orvalin::x11 {

class KeyboardHold;
class SelectionRequestWatch;
class X11Connection;

// How long each step of a paste may take.
struct PasteBounds {
    // The user's content never comes back sooner after the chord: the target must fetch the date.
    std::chrono::milliseconds minAfterChord{150};
    // A target that never fetches (nothing to paste into) gets the user's content back then.
    std::chrono::milliseconds maxAfterChord{1000};
    // A chord that never goes out does not keep the user's content away longer.
    std::chrono::milliseconds maxWaitForChord{2000};
    // The user's keys wait in the server for the fetch at most this long.
    std::chrono::milliseconds keysHeldAtMost{750};
};

// The paste of an inserted text from beginning to end: the text on the clipboard, the paste
// chord, the target fetching the text, the user's content back. The engine sees it as its
// pasteboard, the key synthesizer tells it of each chord, and it alone decides when the user's
// content comes back: once every paste since the text went on was fetched (a slow target
// otherwise pastes the old content), `minAfterChord` after the chord at the earliest, at once when
// no chord could go out, within the other bounds in any case. Keys the user types right after a
// chord wait in the server until the target fetched the text (a target reading the clipboard
// asynchronously would otherwise take them first).
class PasteSequence final : public Pasteboard, public PasteChordListener {
public:
    PasteSequence(X11Connection& conn, QtClipboardPasteboard& clipboard, PasteBounds bounds = PasteBounds());
    // A restore still held back happens now.
    ~PasteSequence() override;
    PasteSequence(const PasteSequence&) = delete;
    PasteSequence& operator=(const PasteSequence&) = delete;

    PasteboardSnapshot snapshot() override;
    void snapshotWhenReady(std::function<void(PasteboardSnapshot)> ready) override;
    void cancelSnapshot() override;
    void setText(std::string_view text) override;
    // Held back until the paste was fetched (see above).
    void restore(const PasteboardSnapshot& saved) override;
    void prepare() override;

    void chordQueued() override;
    void chordChosen(bool readsPrimary) override;
    void chordTyped() override;
    void chordSent() override;
    void chordFailed() override;

    bool restoreHeld() const { return held_.has_value(); }
    // The program is ending: a restore still held back happens now.
    void restoreNow();

private:
    void dateFetched();
    bool chordPending() const { return sent_ + failed_ < queued_; }
    bool allFetched() const;
    std::chrono::milliseconds stillToWait() const;
    void evaluate();
    void apply();

    QtClipboardPasteboard& clipboard_;
    const PasteBounds bounds_;
    // Only where Qt's clipboard is the X server's: the fetches are seen on Qt's connection.
    std::unique_ptr<KeyboardHold> keys_;
    std::unique_ptr<SelectionRequestWatch> fetches_;
    // Paste chords so far, and the last one's fate.
    int queued_ = 0;
    int sent_ = 0;
    int failed_ = 0;
    bool lastFailed_ = false;
    std::chrono::steady_clock::time_point lastSent_{};
    // A run: from the user's content taken to its restore, across overlapping insertions.
    int chordsAtRunStart_ = 0;
    int fetchesInRun_ = 0;
    int chordsAtSetText_ = 0;
    std::optional<PasteboardSnapshot> held_;
    std::chrono::steady_clock::time_point heldSince_{};
    QTimer timer_;
};

}  // namespace orvalin::x11
