#include "platform/wayland/key_passage.h"

#include <algorithm>

namespace orvalin::wayland {

namespace {

constexpr std::uint32_t kReleased = 0;
constexpr std::uint32_t kPressed = 1;

}  // namespace

void KeyPassage::press(std::uint32_t time, std::uint32_t key, std::uint64_t id, bool barrier,
                       Clock::time_point now) {
    const Event event{Event::Kind::Press, time, key, 0, 0, id, barrier};
    if (awaited_ != 0 || holding()) {
        held_.push_back(event);
        return;
    }
    forward(event, now);
}

// A key the application has as pressed is released at once: held back, the application would
// repeat it.
void KeyPassage::release(std::uint32_t time, std::uint32_t key) {
    if (!holding() || isDown(key)) {
        forward({Event::Kind::Release, time, key, 0, 0, 0, false}, {});
        return;
    }
    held_.push_back({Event::Kind::Release, time, key, 0, 0, 0, false});
}

// Modifiers keep their place among held keys: a Shift pressed after a trigger belongs to the
// key it changes.
void KeyPassage::modifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                           std::uint32_t group) {
    const Event event{Event::Kind::Modifiers, depressed, latched, locked, group, 0, false};
    if (awaited_ != 0 || holding()) {
        held_.push_back(event);
        return;
    }
    forward(event, {});
}

void KeyPassage::forward(const Event& event, Clock::time_point now) {
    switch (event.kind) {
        case Event::Kind::Press:
            sink_.forwardKey(event.a, event.b, kPressed);
            if (!isDown(event.b)) down_.push_back(event.b);
            if (event.id != 0) lastForwarded_ = event.id;
            if (event.barrier) {
                awaited_ = event.id;
                deadline_ = now + kAnswerBound;
            }
            return;
        case Event::Kind::Release:
            sink_.forwardKey(event.a, event.b, kReleased);
            std::erase(down_, event.b);
            return;
        case Event::Kind::Modifiers:
            sink_.forwardModifiers(event.a, event.b, event.c, event.d);
            return;
    }
}

// Stops at the next barrier; the release of a key passed on still goes.
void KeyPassage::drain(Clock::time_point now) {
    while (holding()) {
        const Event& next = held_[head_];
        if (awaited_ != 0 && !(next.kind == Event::Kind::Release && isDown(next.b))) break;
        ++head_;
        forward(next, now);
    }
    if (!holding()) {
        held_.clear();
        head_ = 0;
    }
}

void KeyPassage::answered(std::uint64_t id, Clock::time_point now) {
    if (id == 0 || id != awaited_) return;
    awaited_ = 0;
    drain(now);
}

bool KeyPassage::insert(std::uint64_t id, std::size_t erase, std::string_view text) {
    if (id != 0 && id != lastForwarded_) return false;
    sink_.insert(erase, text);
    return true;
}

std::optional<KeyPassage::Clock::time_point> KeyPassage::deadline() const {
    if (awaited_ == 0) return std::nullopt;
    return deadline_;
}

void KeyPassage::expire(Clock::time_point now) {
    if (awaited_ == 0 || now < deadline_) return;
    awaited_ = 0;
    drain(now);
}

void KeyPassage::releaseAll() {
    const Clock::time_point now = Clock::now();
    do {
        awaited_ = 0;
        drain(now);
    } while (holding());
    awaited_ = 0;
    for (std::uint32_t key : down_) sink_.forwardKey(0, key, kReleased);
    down_.clear();
}

bool KeyPassage::isDown(std::uint32_t key) const {
    return std::find(down_.begin(), down_.end(), key) != down_.end();
}

}  // namespace orvalin::wayland
