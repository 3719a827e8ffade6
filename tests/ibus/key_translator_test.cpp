#include "platform/ibus/key_translator.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include "core/shortcut.h"

namespace orvalin {
namespace {

// IBus's key codes are evdev codes: 32 is the key right of S, virtual key 2 (D on a US board).
constexpr std::uint32_t kEvdevD = 32;
constexpr std::uint32_t kEvdevE = 18;
constexpr std::uint32_t kShiftMask = 1, kControlMask = 4;

TEST(KeyTranslator, KeysGiveTheirPositionModifiersAndTextWithDeadKeysFollowed) {
    ibus::KeyTranslator translator("C.UTF-8");
    ibus::TranslatedKey d = translator.press(XKB_KEY_D, kEvdevD, kShiftMask | kControlMask);
    EXPECT_EQ(d.virtualKey, 2);
    EXPECT_EQ(d.modifiers, modifier::kShift | modifier::kControl);
    EXPECT_FALSE(d.composing);
    EXPECT_TRUE(translator.press(XKB_KEY_Shift_L, 42, 0).isModifierKey);

    // A dead key types nothing; the next key types the composed letter, on the key pressed.
    ibus::TranslatedKey dead = translator.press(XKB_KEY_dead_circumflex, 26, 0);
    EXPECT_TRUE(dead.composing);
    EXPECT_EQ(dead.characters, "");
    ibus::TranslatedKey e = translator.press(XKB_KEY_e, kEvdevE, 0);
    EXPECT_EQ(e.characters, "ê");
    EXPECT_EQ(e.virtualKey, 14);
    EXPECT_EQ(translator.press(XKB_KEY_e, kEvdevE, 0).characters, "e");

    // A reset forgets a sequence under way.
    translator.press(XKB_KEY_dead_acute, 40, 0);
    translator.reset();
    EXPECT_EQ(translator.press(XKB_KEY_e, kEvdevE, 0).characters, "e");
}

}  // namespace
}  // namespace orvalin
