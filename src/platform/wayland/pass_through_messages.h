#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvalin::wayland {

// What the pass-through thread tells the main thread, in the order it happened.
struct PassThroughNews {
    enum class Kind : std::uint8_t { Key, FocusChange, AccessLost, ConnectionLost };
    Kind kind = Kind::Key;
    std::uint64_t id = 0;      // the press's number
    std::uint64_t period = 0;  // the focus period the key was typed in
    bool barrier = false;      // the keys after it wait for the engine's answer
    std::uint16_t keyCode = 0;
    std::uint32_t modifiers = 0;
    std::string characters{};
};

// What the main thread asks of the pass-through thread, in order.
struct PassThroughRequest {
    enum class Kind : std::uint8_t { Start, Stop, Insert, Answered, Triggers, Quit };
    Kind kind = Kind::Start;
    std::uint64_t id = 0;  // the press an insertion or answer belongs to; 0: none
    std::size_t erase = 0;
    std::string text{};
    std::vector<std::string> triggers{};
    std::vector<std::uint16_t> combinationKeys{};
};

}  // namespace orvalin::wayland
