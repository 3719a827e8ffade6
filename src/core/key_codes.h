#pragma once

#include <cstdint>
#include <optional>

namespace orvalin::keycodes {

// Keys without a place in the virtual table get 0x8000 + their evdev code: clear of the table,
// within 16 bits, and still stable across layouts.
inline constexpr std::uint16_t kUnmappedKeyBase = 0x8000;

// Physical key (evdev code) to the program's virtual key code.
std::uint16_t virtualKeyFromEvdev(std::uint32_t evdevCode);
// X key code (evdev + 8 under the evdev keymap) to the virtual key code; 0xFFFF below 8.
std::uint16_t virtualKeyFromXKeycode(std::uint32_t xKeycode);

// The reverse: which physical key has this virtual code; none for codes no key has.
std::optional<std::uint32_t> evdevFromVirtualKey(std::uint16_t virtualKey);
std::optional<std::uint32_t> xKeycodeFromVirtualKey(std::uint16_t virtualKey);

}  // namespace orvalin::keycodes
