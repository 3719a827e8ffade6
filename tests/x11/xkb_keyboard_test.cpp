#include "platform/x11/xkb_keyboard.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace orvalin::x11 {
namespace {

// X key codes (evdev + 8) of the keys used below.
constexpr std::uint32_t kD = 40, kE = 26, kQ = 24, kV = 55, kDigit2 = 11, kDigit0 = 19, kLeftBrace = 34;
constexpr std::uint32_t kShift = 50, kControl = 37, kAlt = 64, kSuper = 133, kCapsLock = 66, kAltGr = 108;

TranslatedKey tap(XkbKeyboard& kb, std::uint32_t keycode) {
    TranslatedKey k = kb.press(keycode);
    kb.release(keycode);
    return k;
}

TEST(XkbKeyboard, KeysCarryTheirVirtualCodeModifiersAndText) {
    auto kb = XkbKeyboard::fromNames("us");
    ASSERT_TRUE(kb);
    TranslatedKey d = tap(*kb, kD);
    EXPECT_EQ(d.virtualKey, 2);
    EXPECT_EQ(d.modifiers, 0u);
    EXPECT_EQ(d.characters, "d");
    EXPECT_FALSE(d.isModifierKey);

    TranslatedKey shiftDown = kb->press(kShift);
    EXPECT_TRUE(shiftDown.isModifierKey);
    TranslatedKey upper = tap(*kb, kD);
    EXPECT_EQ(upper.modifiers, 0x20000u);
    EXPECT_EQ(upper.characters, "D");
    kb->release(kShift);

    // Control+Alt+D: the combination word of the stored example.
    kb->press(kControl);
    kb->press(kAlt);
    TranslatedKey combo = tap(*kb, kD);
    EXPECT_EQ(combo.virtualKey, 2);
    EXPECT_EQ(combo.modifiers, 0x0C0000u);
    kb->release(kAlt);
    kb->release(kControl);

    kb->press(kSuper);
    EXPECT_EQ(tap(*kb, kD).modifiers, 0x100000u);
    kb->release(kSuper);

    // Caps Lock stays on after its release and shows in the word.
    EXPECT_TRUE(tap(*kb, kCapsLock).isModifierKey);
    TranslatedKey caps = tap(*kb, kD);
    EXPECT_EQ(caps.modifiers, 0x10000u);
    EXPECT_EQ(caps.characters, "D");
    tap(*kb, kCapsLock);
    EXPECT_EQ(tap(*kb, kD).modifiers, 0u);
}

TEST(XkbKeyboard, FrenchLayoutTypesAccentsAndDeadKeysCompose) {
    auto kb = XkbKeyboard::fromNames("fr");
    ASSERT_TRUE(kb);
    // The key of the digit 2 types é without any modifier.
    TranslatedKey e = tap(*kb, kDigit2);
    EXPECT_EQ(e.characters, "é");
    EXPECT_EQ(e.modifiers, 0u);
    EXPECT_EQ(e.virtualKey, 19);
    // The key right of P is a dead circumflex: nothing, then ê.
    TranslatedKey dead = tap(*kb, kLeftBrace);
    EXPECT_EQ(dead.characters, "");
    EXPECT_FALSE(dead.isModifierKey);
    EXPECT_EQ(tap(*kb, kE).characters, "ê");
    // The physical Q key types a: positions stay, characters follow the layout.
    TranslatedKey a = tap(*kb, kQ);
    EXPECT_EQ(a.virtualKey, 12);
    EXPECT_EQ(a.characters, "a");
    // AltGr is not one of the four modifiers: AltGr+0 types @ into the buffer.
    kb->press(kAltGr);
    TranslatedKey at = tap(*kb, kDigit0);
    kb->release(kAltGr);
    EXPECT_EQ(at.characters, "@");
    EXPECT_EQ(at.modifiers & 0x1E0000u, 0u);
    EXPECT_EQ(kb->keycodeForKeysym(XKB_KEY_v), kV);
}

TEST(XkbKeyboard, ThePressesStateAloneGivesModifiersAndText) {
    // As the monitor sees keys: presses only, each with the core modifier mask of its moment.
    auto kb = XkbKeyboard::fromNames("fr");
    ASSERT_TRUE(kb);
    TranslatedKey shifted = kb->pressWithModifiers(kD, 0x01);
    EXPECT_EQ(shifted.modifiers, 0x20000u);
    EXPECT_EQ(shifted.characters, "D");
    EXPECT_EQ(kb->pressWithModifiers(kD, 0x02).modifiers, 0x10000u);          // Lock
    EXPECT_EQ(kb->pressWithModifiers(kD, 0x04 | 0x08).modifiers, 0x0C0000u);  // Control, Mod1
    EXPECT_EQ(kb->pressWithModifiers(kD, 0x40).modifiers, 0x100000u);         // Mod4
    EXPECT_EQ(kb->pressWithModifiers(kDigit2, 0).characters, "é");
    // The modifiers of one press do not stick to the next.
    EXPECT_EQ(kb->pressWithModifiers(kD, 0).characters, "d");
    EXPECT_EQ(kb->pressWithModifiers(kLeftBrace, 0).characters, "");
    EXPECT_EQ(kb->pressWithModifiers(kE, 0).characters, "ê");
}

TEST(XkbKeyboard, TheLockedGroupChoosesTheLayout) {
    auto kb = XkbKeyboard::fromNames("us,fr");
    ASSERT_TRUE(kb);
    EXPECT_EQ(tap(*kb, kQ).characters, "q");
    kb->setLockedGroup(1);
    EXPECT_EQ(kb->lockedGroup(), 1u);
    EXPECT_EQ(tap(*kb, kQ).characters, "a");
    EXPECT_EQ(tap(*kb, kDigit2).characters, "é");
    // A's key is q's place on the French board: found in the live group first.
    EXPECT_EQ(kb->keycodeForKeysym(XKB_KEY_a), kQ);
    kb->setLockedGroup(0);
    EXPECT_EQ(tap(*kb, kQ).characters, "q");
}

TEST(XkbKeyboard, KeysWithoutTextAndOddCodesAreSafe) {
    auto kb = XkbKeyboard::fromNames("us");
    ASSERT_TRUE(kb);
    TranslatedKey f1 = tap(*kb, 67);  // F1
    EXPECT_EQ(f1.virtualKey, 122);
    EXPECT_EQ(f1.characters, "");
    // A code no key has, and one below the X range.
    EXPECT_EQ(tap(*kb, 255).characters, "");
    EXPECT_EQ(tap(*kb, 3).virtualKey, 0xFFFF);
    EXPECT_EQ(kb->keycodeForKeysym(0x12345678), std::nullopt);
    // A release without a press does not disturb the state.
    kb->release(kShift);
    EXPECT_EQ(tap(*kb, kD).modifiers, 0u);
}

}  // namespace
}  // namespace orvalin::x11
