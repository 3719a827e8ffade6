#include "core/key_codes.h"

#include <array>
#include <utility>

namespace orvalin::keycodes {

namespace {

struct Row {
    std::uint16_t virtualKey;
    std::uint16_t evdev;
};

constexpr Row kRows[] =
#include "core/key_code_rows.inc"
    ;

constexpr std::size_t kEvdevLimit = 0x300;  // KEY_MAX + 1
constexpr std::uint16_t kNone = 0xFFFF;

constexpr std::array<std::uint16_t, kEvdevLimit> makeVirtualByEvdev() {
    std::array<std::uint16_t, kEvdevLimit> table{};
    for (auto& v : table) v = kNone;
    for (const Row& row : kRows) table[row.evdev] = row.virtualKey;
    return table;
}

constexpr std::array<std::uint16_t, 128> makeEvdevByVirtual() {
    std::array<std::uint16_t, 128> table{};
    for (auto& v : table) v = kNone;
    for (const Row& row : kRows) table[row.virtualKey] = row.evdev;
    return table;
}

constexpr auto kVirtualByEvdev = makeVirtualByEvdev();
constexpr auto kEvdevByVirtual = makeEvdevByVirtual();

}  // namespace

std::uint16_t virtualKeyFromEvdev(std::uint32_t evdevCode) {
    if (evdevCode < kEvdevLimit && kVirtualByEvdev[evdevCode] != kNone) return kVirtualByEvdev[evdevCode];
    // Beyond KEY_MAX nothing is a real key; keep the result inside 16 bits all the same.
    return static_cast<std::uint16_t>(kUnmappedKeyBase + (evdevCode & 0x7FFF));
}

std::uint16_t virtualKeyFromXKeycode(std::uint32_t xKeycode) {
    if (xKeycode < 8) return kNone;
    return virtualKeyFromEvdev(xKeycode - 8);
}

std::optional<std::uint32_t> evdevFromVirtualKey(std::uint16_t virtualKey) {
    if (virtualKey < kEvdevByVirtual.size() && kEvdevByVirtual[virtualKey] != kNone) {
        return kEvdevByVirtual[virtualKey];
    }
    if (virtualKey >= kUnmappedKeyBase &&
        static_cast<std::size_t>(virtualKey - kUnmappedKeyBase) < kEvdevLimit) {
        std::uint32_t evdev = virtualKey - kUnmappedKeyBase;
        if (kVirtualByEvdev[evdev] == kNone) return evdev;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> xKeycodeFromVirtualKey(std::uint16_t virtualKey) {
    auto evdev = evdevFromVirtualKey(virtualKey);
    if (!evdev || *evdev + 8 > 255) return std::nullopt;  // X key codes stop at 255
    return *evdev + 8;
}

}  // namespace orvalin::keycodes
