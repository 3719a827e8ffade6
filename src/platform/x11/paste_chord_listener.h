#pragma once

namespace orvalin::x11 {

// What the key synthesizer tells of each paste chord it is asked for, in this order: queued, then
// chosen and typed, then sent; or failed at any point before it was sent.
class PasteChordListener {
public:
    virtual ~PasteChordListener() = default;
    // A paste was asked for; its chord may go out later (the user still holds a modifier).
    virtual void chordQueued() = 0;
    // The chord is chosen and goes out next, while other clients are still served: a chord that
    // pastes the primary selection needs the date there.
    virtual void chordChosen(bool readsPrimary) = 0;
    // The chord is written and not yet flushed: whatever is added now reaches the server before
    // any key the user types next.
    virtual void chordTyped() = 0;
    // The chord reached the server.
    virtual void chordSent() = 0;
    // The chord was not sent and never will be: nothing fetches the date for it.
    virtual void chordFailed() = 0;
};

}  // namespace orvalin::x11
