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
        if (onChordSent) onChordSent();
    }
    // Some pastes still wait in the synthesizer.
    bool chordPending() const { return sent_ < queued_; }
    Clock::time_point lastChordSent() const { return lastSent_; }
    int chordsSent() const { return sent_; }

    // Set by the clipboard: called after each chord went out.
    std::function<void()> onChordSent;
    // Set by the clipboard: the next paste reads the primary selection (terminals that paste it
    // with Shift+Insert), so the date must be there too.
    std::function<void()> putDateOnPrimary;

private:
    int queued_ = 0;
    int sent_ = 0;
    Clock::time_point lastSent_{};
};

}  // namespace orvalin
