#include "platform/wayland/news_pace.h"

#include <algorithm>

#include "core/shortcut.h"

namespace orvalin::wayland {

void NewsPace::focusChanged() {
    ++period_;
    idleDeadline_.reset();
}

bool NewsPace::urgent(const KeyEvent& event, bool barrier, bool fieldActive, Clock::time_point now) {
    const bool judged = answer_.load(std::memory_order_acquire) == period_ << 1;
    if (barrier || !fieldActive || !judged || !ordinary(event)) {
        idleDeadline_.reset();
        return true;
    }
    // Bounded from the first waiting key: the engine is never further behind while typing goes on.
    if (!idleDeadline_) idleDeadline_ = now + kIdleBound;
    return false;
}

bool NewsPace::due(Clock::time_point now) {
    if (!idleDeadline_ || now < *idleDeadline_) return false;
    idleDeadline_.reset();
    return true;
}

// Characters only, no combination and no line break, tab or erase: the engine just appends them.
bool NewsPace::ordinary(const KeyEvent& event) const {
    constexpr std::uint32_t chords = modifier::kControl | modifier::kAlt | modifier::kSuper;
    if ((event.modifiers & chords) != 0 || event.characters.empty()) return false;
    if (std::any_of(event.characters.begin(), event.characters.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        return false;
    return std::find(combinationKeys_.begin(), combinationKeys_.end(), event.keyCode) ==
           combinationKeys_.end();
}

}  // namespace orvalin::wayland
