#include "engine/news_pace.h"

#include <algorithm>

#include "core/shortcut.h"

namespace orvalin {

void NewsPace::focusChanged() {
    ++period_;
    waiting_ = false;
}

NewsPace::Tell NewsPace::urgency(const KeyEvent& event, bool barrier, bool fieldActive) {
    const bool judged = answer_.load(std::memory_order_acquire) == period_ << 1;
    if (barrier || !fieldActive || !judged || !ordinary(event)) {
        waiting_ = false;
        return Tell::Now;
    }
    // Bounded from the first waiting key: the engine is never further behind while typing goes on.
    if (waiting_) return Tell::Later;
    waiting_ = true;
    return Tell::LaterFromHere;
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

}  // namespace orvalin
