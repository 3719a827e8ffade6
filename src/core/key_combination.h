#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/shortcut.h"

namespace orvalin {

// The function keys F1 to F20: the only keys that may be recorded without a modifier.
inline constexpr std::array<std::uint32_t, 20> functionKeyCodes{
    122, 120, 99,  118, 96,  97,  98, 100, 101, 109,  // F1 - F10
    103, 111, 105, 107, 113, 106, 64, 79,  80,  90,   // F11 - F20
};

bool isFunctionKey(std::uint32_t keyCode);

// Shift, Control, Alt, Super and Caps Lock keys themselves. Pressed on their own they only
// prepare a combination, so recording ignores them.
bool isModifierKey(std::uint32_t keyCode);

// The symbols of the modifiers set in `modifiers`, always in the order ⌃ ⌥ ⇧ ⌘; other bits are ignored.
std::string modifierSymbols(std::uint32_t modifiers);

// The name shown for a key: fixed names for Return, Tab, Space and F1-F20; otherwise the key's
// characters (UTF-8, as produced without modifiers other than Shift), upper-cased. Keys whose
// characters are missing or invisible get a symbol where one is usual (arrows, Delete, ...), else "?".
std::string keyName(std::uint32_t keyCode, std::string_view charactersIgnoringModifiers);

// The combination as Linux desktops write it, for showing: "Ctrl+Alt+Shift+Super+D", the
// modifiers from the modifier word in that order. Keys with a name (Return, the arrows, F1-F20,
// the keypad...) are named from their key code. A character key keeps the character recorded in
// `display`, which is what the user's layout gave; a display that has none gives the character at
// that place on a US keyboard. The stored `display` itself is left in its own form. The names of
// keys without a character are French; `translate`, when given, turns each into the interface's
// language.
using KeyNameTranslator = std::function<std::string(const char*)>;
std::string linuxCombinationText(const GlobalShortcut& shortcut, const KeyNameTranslator& translate = {});

// What one key press means while a combination is being recorded.
struct RecordingKeyOutcome {
    enum class Kind {
        passOn,  // not a combination: the key goes on to normal handling, recording continues
        cancel,  // Escape: recording ends, nothing changes
        clear,   // Delete or Forward Delete alone: the combination is removed
        record,  // `shortcut` is the new combination
    };
    Kind kind = Kind::passOn;
    std::optional<GlobalShortcut> shortcut;

    // Whether the key press is used up by the recording (everything but passOn).
    bool consumed() const { return kind != Kind::passOn; }
};

// Decides one key press while recording: its virtual key code, its modifier word (any bits; only
// Shift, Control, Alt and Super count) and its characters ignoring modifiers (UTF-8).
RecordingKeyOutcome handleRecordingKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                       std::string_view charactersIgnoringModifiers);

}  // namespace orvalin
