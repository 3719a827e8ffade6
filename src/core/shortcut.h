#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "core/uuid.h"

namespace orvalin {

class DateRenderer;

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
    static constexpr int kMaxDayOffset = 3650;

    Uuid id;
    std::string label;
    std::string dateFormat;
    std::string trigger;
    std::optional<GlobalShortcut> globalShortcut;
    // Days from today to the date inserted (1: tomorrow); beyond ±kMaxDayOffset it counts as 0.
    int dayOffset = 0;
    // The date's language, a BCP 47 or POSIX locale name; empty for the user's.
    std::string locale{};
    // The stored entry's members this version has no use for (a later version's keys, a value it
    // cannot take), as the text of one JSON object, so that they are written back as they were.
    std::string keptMembers{};

    int effectiveDayOffset() const;
    // The ICU locale the date is written in: `locale`, or the user's when empty or unknown to ICU.
    std::string localeName() const;

    // The date of `now` plus the offset, in this entry's pattern and language, in a time zone
    // (empty: the host's).
    std::string formattedDate(std::chrono::system_clock::time_point now,
                              const std::string& timeZoneId = {}) const;
    // The same through a renderer of many previews (its instant is "now").
    std::string formattedDate(DateRenderer& renderer) const;

    // A choice of the user's: sets the field and forgets a kept value it replaces.
    void setDayOffset(int days);
    void setLocale(std::string name);

    friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

}  // namespace orvalin
