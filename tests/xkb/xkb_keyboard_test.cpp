#include "platform/xkb/xkb_keyboard.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <utility>

namespace orvalin::xkb {
namespace {

// X key codes (evdev + 8) of the keys used below.
constexpr std::uint32_t kD = 40, kE = 26, kQ = 24, kV = 55, kDigit2 = 11, kDigit0 = 19, kLeftBrace = 34;
constexpr std::uint32_t kShift = 50, kCapsLock = 66;

// As the monitor sees keys: presses only, each with the core modifier mask of its moment.
TranslatedKey plain(XkbKeyboard& kb, std::uint32_t keycode) {
    return kb.pressWithModifiers(keycode, 0);
}

TEST(XkbKeyboard, APressWithItsModifierMaskGivesVirtualCodeModifierWordAndText) {
    auto kb = XkbKeyboard::fromNames("us");
    ASSERT_TRUE(kb);
    TranslatedKey d = plain(*kb, kD);
    EXPECT_EQ(d.virtualKey, 2);
    EXPECT_EQ(d.modifiers, 0u);
    EXPECT_EQ(d.characters, "d");
    EXPECT_FALSE(d.isModifierKey);
    EXPECT_TRUE(plain(*kb, kShift).isModifierKey);
    EXPECT_TRUE(plain(*kb, kCapsLock).isModifierKey);

    // Shift, Lock, Control+Mod1 (the stored example's Control+Alt), Mod4.
    const std::pair<std::uint32_t, std::uint32_t> words[] = {
        {0x01, 0x20000u}, {0x02, 0x10000u}, {0x04 | 0x08, 0x0C0000u}, {0x40, 0x100000u}};
    for (auto [mask, word] : words) EXPECT_EQ(kb->pressWithModifiers(kD, mask).modifiers, word) << mask;
    EXPECT_EQ(kb->pressWithModifiers(kD, 0x01).characters, "D");
    EXPECT_EQ(kb->pressWithModifiers(kD, 0x02).characters, "D");
    // The modifiers of one press do not stick to the next.
    EXPECT_EQ(plain(*kb, kD).characters, "d");
}

TEST(XkbKeyboard, FrenchLayoutTypesAccentsAndDeadKeysCompose) {
    auto kb = XkbKeyboard::fromNames("fr");
    ASSERT_TRUE(kb);
    // The key of the digit 2 types é without any modifier.
    TranslatedKey e = plain(*kb, kDigit2);
    EXPECT_EQ(e.characters, "é");
    EXPECT_EQ(e.modifiers, 0u);
    EXPECT_EQ(e.virtualKey, 19);
    // e, known after its first press to start no sequence, still ends one.
    EXPECT_EQ(plain(*kb, kE).characters, "e");
    EXPECT_EQ(plain(*kb, kE).characters, "e");
    // The key right of P is a dead circumflex: nothing, then ê.
    TranslatedKey dead = plain(*kb, kLeftBrace);
    EXPECT_EQ(dead.characters, "");
    EXPECT_FALSE(dead.isModifierKey);
    EXPECT_EQ(plain(*kb, kE).characters, "ê");
    EXPECT_EQ(plain(*kb, kLeftBrace).characters, "");
    EXPECT_EQ(plain(*kb, kE).characters, "ê");
    // The physical Q key types a: positions stay, characters follow the layout.
    TranslatedKey a = plain(*kb, kQ);
    EXPECT_EQ(a.virtualKey, 12);
    EXPECT_EQ(a.characters, "a");
    // AltGr (Mod5) is not one of the four modifiers: AltGr+0 types @ into the buffer.
    TranslatedKey at = kb->pressWithModifiers(kDigit0, 0x80);
    EXPECT_EQ(at.characters, "@");
    EXPECT_EQ(at.modifiers & 0x1E0000u, 0u);
    EXPECT_EQ(kb->keycodeForKeysym(XKB_KEY_v), kV);
}

TEST(XkbKeyboard, TheLockedGroupChoosesTheLayout) {
    auto kb = XkbKeyboard::fromNames("us,fr");
    ASSERT_TRUE(kb);
    EXPECT_EQ(plain(*kb, kQ).characters, "q");
    kb->setLockedGroup(1);
    EXPECT_EQ(kb->lockedGroup(), 1u);
    EXPECT_EQ(plain(*kb, kQ).characters, "a");
    EXPECT_EQ(plain(*kb, kDigit2).characters, "é");
    // A's key is q's place on the French board: found in the live group first.
    EXPECT_EQ(kb->keycodeForKeysym(XKB_KEY_a), kQ);
    kb->setLockedGroup(0);
    EXPECT_EQ(plain(*kb, kQ).characters, "q");
}

// Translations are kept between presses: none may outlive the keymap, group or Compose state it
// was made under.
TEST(XkbKeyboard, KeptTranslationsFollowKeymapGroupAndCompose) {
    auto kb = XkbKeyboard::fromNames("us,fr");
    ASSERT_TRUE(kb);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(plain(*kb, kQ).characters, "q");
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    ASSERT_NE(context, nullptr);
    xkb_rule_names names{"evdev", "pc105", "fr", "", nullptr};
    xkb_keymap* french = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    ASSERT_NE(french, nullptr);
    kb->replaceKeymap(french, xkb_state_new(french));
    EXPECT_EQ(plain(*kb, kQ).characters, "a");
    // On the French board alone, group 1 wraps back to the first: still French.
    kb->setLockedGroup(1);
    EXPECT_EQ(plain(*kb, kQ).characters, "a");
    // Plain e, kept; a dead circumflex makes the next e compose; then plain again.
    for (int i = 0; i < 2; ++i) EXPECT_EQ(plain(*kb, kE).characters, "e");
    EXPECT_EQ(plain(*kb, kLeftBrace).characters, "");
    EXPECT_EQ(kb->pressWithModifiers(kE, 0x01).characters, "Ê");
    EXPECT_EQ(plain(*kb, kE).characters, "e");

    // A server's state handed over with the second group locked (X11 at start) types in it.
    names.layout = "us,fr";
    xkb_keymap* both = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    ASSERT_NE(both, nullptr);
    xkb_state* state = xkb_state_new(both);
    xkb_state_update_mask(state, 0, 0, 0, 0, 0, 1);
    XkbKeyboard locked(context, both, state, "C.UTF-8");
    xkb_context_unref(context);
    EXPECT_EQ(plain(locked, kQ).characters, "a");
}

TEST(XkbKeyboard, KeysWithoutTextAndOddCodesAreSafe) {
    auto kb = XkbKeyboard::fromNames("us");
    ASSERT_TRUE(kb);
    TranslatedKey f1 = plain(*kb, 67);  // F1
    EXPECT_EQ(f1.virtualKey, 122);
    EXPECT_EQ(f1.characters, "");
    // A code no key has, and one below the X range.
    EXPECT_EQ(plain(*kb, 255).characters, "");
    EXPECT_EQ(plain(*kb, 3).virtualKey, 0xFFFF);
    EXPECT_EQ(kb->keycodeForKeysym(0x12345678), std::nullopt);
}

}  // namespace
}  // namespace orvalin::xkb
