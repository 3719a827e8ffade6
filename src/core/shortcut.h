#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "core/uuid.h"

namespace orvalin {

// Modifier word bits, in the key event numbering the whole program uses.
namespace modifier {
inline constexpr std::uint32_t kCapsLock = 0x10000;
inline constexpr std::uint32_t kShift = 0x20000;
inline constexpr std::uint32_t kControl = 0x40000;
inline constexpr std::uint32_t kAlt = 0x80000;     // Option
inline constexpr std::uint32_t kSuper = 0x100000;  // Command
// The four modifiers that take part in recording and matching combinations.
inline constexpr std::uint32_t kMask = kShift | kControl | kAlt | kSuper;
}  // namespace modifier

// One key combination: a virtual key code, its modifier word and the text shown for it.
struct GlobalShortcut {
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
    std::string display;

    friend bool operator==(const GlobalShortcut&, const GlobalShortcut&) = default;
};

// One format entry: how to write the date, and the trigger / combination that insert it.
struct Shortcut {
    Uuid id;
    std::string label;
    std::string dateFormat;
    std::string trigger;
    std::optional<GlobalShortcut> globalShortcut;

    // Today's date in this entry's pattern; the clock is read at every call.
    std::string formattedDate() const;

    friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

}  // namespace orvalin
