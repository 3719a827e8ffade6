#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/platform.h"

namespace orvalin::wayland {

// Which keys wake the main thread at once. Waking it costs more than passing a key on, and the
// engine only reads ordinary characters to follow the typed text: those wait in the mailbox for
// the next news that matters (a barrier, a combination, a key that types no character, a focus
// change) or for a short idle bound. Keys stay urgent until the main thread has answered for one
// key of the current focus period and found the keyboard away from the program's own windows,
// so a key typed there is always judged while its window has the keyboard.
class NewsPace {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kIdleBound{300};

    // Key codes recorded in combinations, with or without modifiers.
    void setCombinationKeys(std::vector<std::uint16_t> keys) { combinationKeys_ = std::move(keys); }
    // Focus went to another field or application, or none.
    void focusChanged();
    std::uint64_t period() const { return period_; }
    // From the main thread: it judged a key of `period`; `ownWindow`: its windows had the keyboard.
    void answered(std::uint64_t period, bool ownWindow) {
        answer_.store(period << 1 | (ownWindow ? 1U : 0U), std::memory_order_release);
    }

    // A key about to be told; true when it must wake the main thread now. `fieldActive`: a text
    // field of another client has the input method (focus leaving it is then always told).
    bool urgent(const KeyEvent& event, bool barrier, bool fieldActive, Clock::time_point now);
    // Other news woke the main thread: what waited went with it.
    void woken() { idleDeadline_.reset(); }
    // When waiting keys must wake the main thread; nothing while none waits.
    std::optional<Clock::time_point> deadline() const { return idleDeadline_; }
    bool due(Clock::time_point now);

private:
    bool ordinary(const KeyEvent& event) const;

    std::vector<std::uint16_t> combinationKeys_;
    std::uint64_t period_ = 0;
    std::atomic<std::uint64_t> answer_{1};  // period << 1 | own window; none for period 0 yet
    std::optional<Clock::time_point> idleDeadline_;
};

}  // namespace orvalin::wayland
