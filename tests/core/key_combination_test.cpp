#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

TEST(KeyName, FixedNamesThenUpperCasedCharactersThenAQuestionMark) {
    struct Case {
        std::uint32_t key;
        std::string_view chars;
        const char* name;
    };
    // Fixed names win over characters (a private-use glyph is no name); characters are upper-cased
    // ("&" is the French layout's top row); missing or invisible characters (what Control+D types) give
    // "?", and invisible ones around a visible one drop.
    // clang-format off
    const Case cases[] = {{36, "\r", "↩"}, {48, "\t", "⇥"}, {49, " ", "Espace"}, {96, "x", "F5"},
        {113, "\xEF\x9C\x92", "F15"}, {51, "\b", "⌫"}, {51, "\x7f", "⌫"}, {117, "", "⌦"}, {123, "", "←"},
        {126, "\xEF\x9C\x80", "↑"}, {76, "\r", "⌤"}, {2, "d", "D"}, {2, "D", "D"}, {18, "1", "1"}, {18, "!", "!"},
        {43, ",", ","}, {18, "&", "&"}, {19, "é", "É"}, {41, "ñ", "Ñ"}, {12, "ß", "SS"}, {0, "я", "Я"},
        {2, "", "?"}, {2, "\x04", "?"}, {0x8000 + 200, "", "?"}, {2, "\x1b" "d\x7f", "D"}};
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(keyName(c.key, c.chars), c.name) << c.key << " " << c.chars;
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

TEST(LinuxCombinationText, RecordedCombinationsReadTheLinuxWayWhileTheStoredTextKeepsItsForm) {
    struct Case {
        std::uint32_t key, modifiers;
        const char* chars;
        const char* stored;
        const char* shown;
    };
    // Modifiers always in the order Ctrl, Alt, Shift, Super; a character key shows what the layout
    // typed ("A" where a US board has Q, "&" on the French top row); named keys are named from their code.
    // clang-format off
    const Case cases[] = {
        {2, kControl | kAlt, "d", "⌃⌥D", "Ctrl+Alt+D"},
        {2, kSuper | kShift | kAlt | kControl | kCapsLock, "D", "⌃⌥⇧⌘D", "Ctrl+Alt+Shift+Super+D"},
        {12, kSuper, "a", "⌘A", "Super+A"}, {18, kControl | kAlt, "&", "⌃⌥&", "Ctrl+Alt+&"},
        {19, kControl, "é", "⌃É", "Ctrl+É"}, {43, kAlt, ",", "⌥,", "Alt+,"},
        {96, 0, "", "F5", "F5"}, {90, kShift, "", "⇧F20", "Shift+F20"}, {113, 0, "\xEF\x9C\x92", "F15", "F15"},
        {49, kControl | kAlt, " ", "⌃⌥Espace", "Ctrl+Alt+Espace"}, {36, kControl, "\r", "⌃↩", "Ctrl+Entrée"},
        {48, kAlt, "\t", "⌥⇥", "Alt+Tab"}, {51, kShift, "\b", "⇧⌫", "Shift+Retour arrière"},
        {117, kControl, "", "⌃⌦", "Ctrl+Suppr"}, {123, kSuper, "", "⌘←", "Super+Gauche"},
        {126, kControl | kShift, "", "⌃⇧↑", "Ctrl+Shift+Haut"}, {116, kControl, "", "⌃⇞", "Ctrl+Page préc."},
        {76, kControl, "\r", "⌃⌤", "Ctrl+Entrée (pavé num.)"}, {83, kControl, "1", "⌃1", "Ctrl+Pavé num. 1"},
        {0x8000 + 200, kControl, "", "⌃?", "Ctrl+?"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::optional<GlobalShortcut> shortcut = recorded(c.key, c.modifiers, c.chars);
        ASSERT_TRUE(shortcut) << c.shown;
        EXPECT_EQ(shortcut->display, c.stored);
        EXPECT_EQ(linuxCombinationText(*shortcut), c.shown);
    }
}

TEST(LinuxCombinationText, StoredTextsWithoutAUsableKeyFallBackToTheKeyPlace) {
    struct Case {
        GlobalShortcut stored;
        std::string shown;
    };
    // Written by hand or by another program: the key's US place when the text names no key, the
    // named keys whatever the text says, modifiers taken from the word only, no invisible
    // characters, and never a long text.
    const Case cases[] = {
        {{2, kControl, ""}, "Ctrl+D"},
        {{2, kControl | kAlt, "⌃⌥"}, "Ctrl+Alt+D"},
        {{42, kSuper, "\x04"}, "Super+\\"},
        {{50, kControl, "⌃\x1b"}, "Ctrl+`"},
        {{125, kControl, "⌃X"}, "Ctrl+Bas"},
        {{2, kControl | kAlt, "Ctrl+Alt+D"}, "Ctrl+Alt+D"},
        {{24, kControl | kShift, "Ctrl++"}, "Ctrl+Shift++"},
        {{0x8000 + 200, kControl, ""}, "Ctrl+?"},
        {{2, kControl | 0xFF, "⌃" + std::string(100000, 'a')}, "Ctrl+" + std::string(16, 'A')},
    };
    for (const Case& c : cases) EXPECT_EQ(linuxCombinationText(c.stored), c.shown) << c.stored.display;
    EXPECT_FALSE(linuxCombinationText({2, kControl, "\xff\xfe\xc3"}).empty());
}

// Delete alone clears, Escape cancels whatever the modifiers, plain keys are passed on, and so is
// Control pressed on its way to Control+D though the modifier word already carries it.
TEST(HandleRecordingKey, DeleteClearsEscapeCancelsPlainAndModifierKeysPassOn) {
    struct Case {
        std::uint32_t key, modifiers;
        const char* chars;
        Kind kind;
    };
    std::vector<Case> cases{{51, 0, "\x7f", Kind::clear},
                            {117, 0, "\x7f", Kind::clear},
                            {51, kCapsLock, "", Kind::clear},
                            {117, kCapsLock, "", Kind::clear}};
    for (std::uint32_t mods : {0u, kShift, kControl | kAlt | kShift | kSuper, kCapsLock})
        cases.push_back({53, mods, "\x1b", Kind::cancel});
    for (std::uint32_t key : {0u, 18u, 36u, 48u, 49u, 123u, 0x8000u + 200u})
        cases.push_back({key, 0, "a", Kind::passOn});
    for (std::uint32_t key = 54; key <= 63; ++key)
        cases.push_back({key, kControl | kShift, "", Kind::passOn});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " " << c.modifiers);
        const auto outcome = handleRecordingKey(c.key, c.modifiers, c.chars);
        EXPECT_EQ(outcome.kind, c.kind);
        EXPECT_EQ(outcome.consumed(), c.kind != Kind::passOn);
        EXPECT_FALSE(outcome.shortcut);
    }
}

}  // namespace
}  // namespace orvalin
