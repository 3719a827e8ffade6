#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/key_combination.h"

namespace orvalin {
namespace {

using Kind = RecordingKeyOutcome::Kind;

constexpr std::uint32_t kShift = 0x20000;
constexpr std::uint32_t kControl = 0x40000;
constexpr std::uint32_t kAlt = 0x80000;
constexpr std::uint32_t kSuper = 0x100000;
constexpr std::uint32_t kCapsLock = 0x10000;

TEST(ModifierSymbols, FixedOrderWhateverBitsAreSet) {
    EXPECT_EQ(modifierSymbols(0), "");
    EXPECT_EQ(modifierSymbols(kShift | kSuper), "⇧⌘");
    EXPECT_EQ(modifierSymbols(kControl | kAlt), "⌃⌥");
    EXPECT_EQ(modifierSymbols(kSuper | kShift | kAlt | kControl), "⌃⌥⇧⌘");
    // Caps Lock, keypad and device bits have no symbol.
    EXPECT_EQ(modifierSymbols(kCapsLock | 0x200000 | 0xFF | kAlt), "⌥");
}

TEST(KeyName, FixedNamesWinOverCharacters) {
    EXPECT_EQ(keyName(36, "\r"), "↩");
    EXPECT_EQ(keyName(48, "\t"), "⇥");
    EXPECT_EQ(keyName(49, " "), "Espace");
    EXPECT_EQ(keyName(96, "x"), "F5");
    EXPECT_EQ(keyName(113, "\xEF\x9C\x92"), "F15");  // a private-use glyph is no name
}

TEST(KeyName, CharactersAreUpperCased) {
    EXPECT_EQ(keyName(2, "d"), "D");
    EXPECT_EQ(keyName(2, "D"), "D");
    EXPECT_EQ(keyName(18, "1"), "1");
    EXPECT_EQ(keyName(18, "!"), "!");
    EXPECT_EQ(keyName(43, ","), ",");
    EXPECT_EQ(keyName(18, "&"), "&");  // French layout, top row
    EXPECT_EQ(keyName(19, "é"), "É");
    EXPECT_EQ(keyName(41, "ñ"), "Ñ");
    EXPECT_EQ(keyName(12, "ß"), "SS");
    EXPECT_EQ(keyName(0, "я"), "Я");
}

TEST(KeyName, MissingOrInvisibleCharacters) {
    EXPECT_EQ(keyName(2, ""), "?");
    EXPECT_EQ(keyName(2, "\x04"), "?");  // what Control+D types
    EXPECT_EQ(keyName(0x8000 + 200, ""), "?");
    EXPECT_EQ(keyName(51, "\b"), "⌫");
    EXPECT_EQ(keyName(51, "\x7f"), "⌫");
    EXPECT_EQ(keyName(117, ""), "⌦");
    EXPECT_EQ(keyName(123, ""), "←");
    EXPECT_EQ(keyName(126, "\xEF\x9C\x80"), "↑");
    EXPECT_EQ(keyName(76, "\r"), "⌤");
    // Invisible characters around a visible one are dropped, the visible one stays.
    EXPECT_EQ(keyName(2,
                      "\x1b"
                      "d\x7f"),
              "D");
}

TEST(KeyName, HostileCharactersGiveShortSafeText) {
    EXPECT_EQ(keyName(2, std::string(100000, 'a')), std::string(16, 'A'));
    std::string invalid = "\xff\xfe\xc3";
    EXPECT_FALSE(keyName(2, invalid).empty());
    EXPECT_EQ(keyName(2, std::string_view("\0", 1)), "?");
}

// The combination a recording keeps, or nothing when the key does not end it with a combination.
std::optional<GlobalShortcut> recorded(std::uint32_t key, std::uint32_t modifiers, const std::string& chars) {
    const auto outcome = handleRecordingKey(key, modifiers, chars);
    if (outcome.kind != Kind::record) return std::nullopt;
    EXPECT_TRUE(outcome.consumed());
    return outcome.shortcut;
}

TEST(HandleRecordingKey, CombinationsAreRecordedWithTheFourModifiersOnly) {
    struct Case {
        std::uint32_t key, modifiers;
        const char* chars;
        GlobalShortcut expected;
    };
    const Case cases[] = {
        {96, 0, "", {96, 0, "F5"}},  // function keys need no modifier
        {113, 0, "", {113, 0, "F15"}},
        {2, kShift | kSuper, "D", {2, 0x120000, "⇧⌘D"}},
        {49, kControl | kAlt, " ", {49, 0xC0000, "⌃⌥Espace"}},
        {2, kControl | kAlt, "d", {2, 0xC0000, "⌃⌥D"}},
        {0, kSuper | kCapsLock, "A", {0, 0x100000, "⌘A"}},  // Caps Lock is dropped
        {51, kShift, "\b", {51, 0x20000, "⇧⌫"}},            // a modified Delete is a combination
        {117, kControl, "", {117, 0x40000, "⌃⌦"}},
        {0x8000 + 200, kControl, "", {0x8000 + 200, 0x40000, "⌃?"}},  // unmapped: kept by its code
    };
    for (const Case& c : cases)
        EXPECT_EQ(recorded(c.key, c.modifiers, c.chars), c.expected) << c.expected.display;
    // Caps Lock alone is no modifier, nor are keypad and device-dependent bits: the key is passed on.
    EXPECT_EQ(handleRecordingKey(0, kCapsLock, "A").kind, Kind::passOn);
    EXPECT_EQ(handleRecordingKey(83, 0x200000 | 0x1, "1").kind, Kind::passOn);
}

TEST(HandleRecordingKey, DeleteAloneClears) {
    for (std::uint32_t key : {51u, 117u}) {
        auto alone = handleRecordingKey(key, 0, "\x7f");
        EXPECT_EQ(alone.kind, Kind::clear) << key;
        EXPECT_FALSE(alone.shortcut);
        EXPECT_EQ(handleRecordingKey(key, kCapsLock, "").kind, Kind::clear) << key;
    }
}

TEST(HandleRecordingKey, EscapeCancelsWhateverTheModifiers) {
    for (std::uint32_t mods : {0u, kShift, kControl | kAlt | kShift | kSuper, kCapsLock}) {
        auto escape = handleRecordingKey(53, mods, "\x1b");
        EXPECT_EQ(escape.kind, Kind::cancel) << mods;
        EXPECT_TRUE(escape.consumed());
        EXPECT_FALSE(escape.shortcut);
    }
}

TEST(HandleRecordingKey, PlainKeysAndModifierKeysArePassedOn) {
    for (std::uint32_t key : {0u, 18u, 36u, 48u, 49u, 123u, 0x8000u + 200u}) {
        auto plain = handleRecordingKey(key, 0, "a");
        EXPECT_EQ(plain.kind, Kind::passOn) << key;
        EXPECT_FALSE(plain.consumed());
        EXPECT_FALSE(plain.shortcut);
    }
    // Pressing Control on its way to Control+D must not end the recording, even though the
    // modifier word already carries Control.
    for (std::uint32_t key = 54; key <= 63; ++key) {
        EXPECT_EQ(handleRecordingKey(key, kControl | kShift, "").kind, Kind::passOn) << key;
    }
}

}  // namespace
}  // namespace orvalin
