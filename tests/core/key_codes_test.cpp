#include <gtest/gtest.h>

#include <set>

#include "core/key_codes.h"

namespace orvalin::keycodes {
namespace {

TEST(KeyCodes, KnownKeysMapBothWays) {
    // (virtual, evdev) pairs from both ends and the middle of the table.
    const std::pair<std::uint16_t, std::uint32_t> pairs[] = {
        {0, 30},    {2, 32},    {9, 47},   {49, 57},   {51, 14},   {53, 1},  {55, 125}, {96, 63},
        {113, 185}, {117, 111}, {122, 59}, {123, 105}, {126, 103}, {10, 86}, {50, 41}};
    for (auto [vk, evdev] : pairs) {
        EXPECT_EQ(virtualKeyFromEvdev(evdev), vk) << evdev;
        EXPECT_EQ(virtualKeyFromXKeycode(evdev + 8), vk) << evdev;
        EXPECT_EQ(evdevFromVirtualKey(vk), evdev) << vk;
        EXPECT_EQ(xKeycodeFromVirtualKey(vk), evdev + 8) << vk;
    }
}

TEST(KeyCodes, EveryPhysicalKeyGetsADistinctVirtualCodeThatMapsBack) {
    std::set<std::uint16_t> seen;
    for (std::uint32_t evdev = 0; evdev < 0x300; ++evdev) {
        std::uint16_t vk = virtualKeyFromEvdev(evdev);
        EXPECT_TRUE(seen.insert(vk).second) << "evdev " << evdev << " shares virtual " << vk;
        EXPECT_EQ(evdevFromVirtualKey(vk), evdev) << evdev;
    }
}

TEST(KeyCodes, KeysOutsideTheTableStayClearOfItAndOddInputIsSafe) {
    EXPECT_EQ(virtualKeyFromEvdev(164), kUnmappedKeyBase + 164);  // KEY_PLAYPAUSE
    EXPECT_EQ(virtualKeyFromXKeycode(3), 0xFFFF);
    EXPECT_EQ(virtualKeyFromEvdev(0xFFFFFFFF) & 0x8000, 0x8000);
    EXPECT_FALSE(evdevFromVirtualKey(52));  // a gap in the table
    EXPECT_FALSE(evdevFromVirtualKey(127));
    EXPECT_FALSE(evdevFromVirtualKey(0x8000 + 30));                // the A key has a table code, not this one
    EXPECT_FALSE(xKeycodeFromVirtualKey(kUnmappedKeyBase + 300));  // beyond X's 255
}

}  // namespace
}  // namespace orvalin::keycodes
