#pragma once

#include <chrono>
#include <functional>

namespace orvalin {

// What the key synthesizer and the clipboard tell each other about a paste in flight: the paste
// chord may wait for the user's modifiers, and the clipboard must not be restored before the
// chord went out and the target fetched the date.
class PasteTracker {
public:
    using Clock = std::chrono::steady_clock;

    // The synthesizer was asked for a paste; it may go out later.
    void chordQueued() { ++queued_; }
    // The paste chord was posted now.
    void chordSent() {
        ++sent_;
        lastSent_ = Clock::now();
        lastFailed_ = false;
        if (onChordSent) onChordSent();
    }
    // The paste chord could not be typed and was not posted: nothing will fetch the date.
    void chordFailed() {
        ++failed_;
        lastFailed_ = true;
        if (onChordSent) onChordSent();
    }
    // Some pastes still wait in the synthesizer.
    bool chordPending() const { return sent_ + failed_ < queued_; }
    // The last paste asked for never went out.
    bool lastChordFailed() const { return lastFailed_; }
    Clock::time_point lastChordSent() const { return lastSent_; }
    int chordsSent() const { return sent_; }

    // Set by the clipboard: called after each chord went out or failed.
    std::function<void()> onChordSent;
    // Set by the clipboard: the next paste reads the primary selection (terminals that paste it
    // with Shift+Insert), so the date must be there too.
    std::function<void()> putDateOnPrimary;

private:
    int queued_ = 0;
    int sent_ = 0;
    int failed_ = 0;
    bool lastFailed_ = false;
    Clock::time_point lastSent_{};
};

}  // namespace orvalin
