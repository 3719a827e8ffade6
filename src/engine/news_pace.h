#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "engine/platform.h"

namespace orvalin {

// Which keys an input-method route's own thread hands to the engine's thread at once. Waking that
// thread costs more than passing a key on, and the engine only reads ordinary characters to follow
// the typed text: those wait for the next news that matters (a barrier, a combination, a key that types no
// character, a focus change) or for a short idle bound. Keys stay urgent until the main thread has answered
// for one key of the current focus period and found the keyboard away from the program's own windows, so a
// key typed there is always judged while its window has the keyboard.
class NewsPace {
public:
    // Long enough that steady typing wakes the main thread once a second at most, short enough
    // that the engine is never far behind.
    static constexpr std::chrono::milliseconds kIdleBound{1000};

    enum class Tell : std::uint8_t {
        Now,
        Later,
        LaterFromHere,  // the first key to wait: the idle bound starts with it
    };

    // Key codes recorded in combinations, with or without modifiers.
    void setCombinationKeys(std::vector<std::uint16_t> keys) { combinationKeys_ = std::move(keys); }
    // Focus went to another field or application, or none.
    void focusChanged();
    std::uint64_t period() const { return period_; }
    // From the main thread: it judged a key of `period`; `ownWindow`: its windows had the keyboard.
    void answered(std::uint64_t period, bool ownWindow) {
        answer_.store(period << 1 | (ownWindow ? 1U : 0U), std::memory_order_release);
    }

    // When a key about to be told must wake the main thread. `fieldActive`: a text field has the
    // input method, whose focus leaving it is always told.
    Tell urgency(const KeyEvent& event, bool barrier, bool fieldActive);
    // Other news woke the main thread: what waited went with it.
    void woken() { waiting_ = false; }
    bool waiting() const { return waiting_; }
    // The idle bound passed since the first key that waits: true when keys still wait, which
    // must now wake the main thread.
    bool due() {
        const bool due = waiting_;
        waiting_ = false;
        return due;
    }

private:
    bool ordinary(const KeyEvent& event) const;

    std::vector<std::uint16_t> combinationKeys_;
    std::uint64_t period_ = 0;
    std::atomic<std::uint64_t> answer_{1};  // period << 1 | own window; none for period 0 yet
    bool waiting_ = false;
};

}  // namespace orvalin
