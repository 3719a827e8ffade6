#include "core/key_combination.h"
#include "core/virtual_keys.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <string>

namespace orvalin {

namespace {

// A key name longer than this is not a key's text; keep the display short whatever comes in.
constexpr int32_t kMaxNameCodePoints = 16;

struct NamedKey {
    std::uint32_t keyCode;
    const char* name;
};

// Keys named the same way whatever the layout says they produce.
constexpr NamedKey kFixedNames[] = {
    {36, "\u21A9"},
    {48, "\u21E5"},
    {49, "Espace"},  //
    {122, "F1"},
    {120, "F2"},
    {99, "F3"},
    {118, "F4"},
    {96, "F5"},
    {97, "F6"},  //
    {98, "F7"},
    {100, "F8"},
    {101, "F9"},
    {109, "F10"},
    {103, "F11"},
    {111, "F12"},
    // The platform reports no visible character for the upper function keys.
    {105, "F13"},
    {107, "F14"},
    {113, "F15"},
    {106, "F16"},
    {64, "F17"},
    {79, "F18"},
    {80, "F19"},
    {90, "F20"},
};

// Keys that produce no visible character: the usual keyboard symbols instead of "?".
constexpr NamedKey kSymbolNames[] = {
    {51, "\u232B"},  {117, "\u2326"}, {53, "\u238B"},  {76, "\u2324"},   //
    {123, "\u2190"}, {124, "\u2192"}, {125, "\u2193"}, {126, "\u2191"},  //
    {115, "\u2196"}, {119, "\u2198"}, {116, "\u21DE"}, {121, "\u21DF"},
};

// Key names as Linux desktops show them in a combination, in French; the interface gives them in
// its own language. The marker lets the translation tools gather them.
#define ORVALIN_KEY_NAME(context, text) text
constexpr NamedKey kLinuxNames[] = {
    {36, ORVALIN_KEY_NAME("KeyName", "Entrée")},
    {48, ORVALIN_KEY_NAME("KeyName", "Tab")},
    {49, ORVALIN_KEY_NAME("KeyName", "Espace")},
    {51, ORVALIN_KEY_NAME("KeyName", "Retour arrière")},
    {53, ORVALIN_KEY_NAME("KeyName", "Échap")},
    {117, ORVALIN_KEY_NAME("KeyName", "Suppr")},
    {114, ORVALIN_KEY_NAME("KeyName", "Inser")},
    {115, ORVALIN_KEY_NAME("KeyName", "Début")},
    {119, ORVALIN_KEY_NAME("KeyName", "Fin")},
    {116, ORVALIN_KEY_NAME("KeyName", "Page préc.")},
    {121, ORVALIN_KEY_NAME("KeyName", "Page suiv.")},
    {123, ORVALIN_KEY_NAME("KeyName", "Gauche")},
    {124, ORVALIN_KEY_NAME("KeyName", "Droite")},
    {125, ORVALIN_KEY_NAME("KeyName", "Bas")},
    {126, ORVALIN_KEY_NAME("KeyName", "Haut")},
    {110, ORVALIN_KEY_NAME("KeyName", "Menu")},
    {71, ORVALIN_KEY_NAME("KeyName", "Verr. num.")},
    {72, ORVALIN_KEY_NAME("KeyName", "Volume +")},
    {73, ORVALIN_KEY_NAME("KeyName", "Volume −")},
    {74, ORVALIN_KEY_NAME("KeyName", "Muet")},
    // The keypad's keys type the same characters as others, so they say where they are.
    {76, ORVALIN_KEY_NAME("KeyName", "Entrée (pavé num.)")},
    {65, ORVALIN_KEY_NAME("KeyName", "Pavé num. .")},
    {67, ORVALIN_KEY_NAME("KeyName", "Pavé num. *")},
    {69, ORVALIN_KEY_NAME("KeyName", "Pavé num. +")},
    {75, ORVALIN_KEY_NAME("KeyName", "Pavé num. /")},
    {78, ORVALIN_KEY_NAME("KeyName", "Pavé num. -")},
    {81, ORVALIN_KEY_NAME("KeyName", "Pavé num. =")},
    {82, ORVALIN_KEY_NAME("KeyName", "Pavé num. 0")},
    {83, ORVALIN_KEY_NAME("KeyName", "Pavé num. 1")},
    {84, ORVALIN_KEY_NAME("KeyName", "Pavé num. 2")},
    {85, ORVALIN_KEY_NAME("KeyName", "Pavé num. 3")},
    {86, ORVALIN_KEY_NAME("KeyName", "Pavé num. 4")},
    {87, ORVALIN_KEY_NAME("KeyName", "Pavé num. 5")},
    {88, ORVALIN_KEY_NAME("KeyName", "Pavé num. 6")},
    {89, ORVALIN_KEY_NAME("KeyName", "Pavé num. 7")},
    {91, ORVALIN_KEY_NAME("KeyName", "Pavé num. 8")},
    {92, ORVALIN_KEY_NAME("KeyName", "Pavé num. 9")},
};

// The character of each key code below 51 on a US keyboard; named keys have a blank.
constexpr std::string_view kUsCharacters = "ASDFHGZXCV<BQWERYT123465=97-80]OU[IP LJ'K;\\,/NM.  `";
static_assert(kUsCharacters.size() == 51);

const char* lookup(const auto& table, std::uint32_t keyCode) {
    for (const NamedKey& key : table) {
        if (key.keyCode == keyCode) return key.name;
    }
    return nullptr;
}

// Control codes (Backspace gives U+0008, Return U+000D, Control+D U+0004), private-use glyphs
// and separators draw as nothing or as a box, so they never make a key's name.
bool isVisible(UChar32 c) {
    switch (u_charType(c)) {
        case U_CONTROL_CHAR:
        case U_PRIVATE_USE_CHAR:
        case U_SURROGATE:
        case U_SPACE_SEPARATOR:
        case U_LINE_SEPARATOR:
        case U_PARAGRAPH_SEPARATOR:
            return false;
        default:
            return true;
    }
}

// The key part of a stored display: what follows its modifiers, as symbols or already written
// the Linux way (a file edited by hand).
std::string_view recordedKeyPart(std::string_view display) {
    constexpr std::string_view kSymbols[] = {"\u2303", "\u2325", "\u21E7", "\u2318",
                                             "Ctrl+",  "Alt+",   "Shift+", "Super+"};
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (std::string_view symbol : kSymbols) {
            if (display.starts_with(symbol)) {
                display.remove_prefix(symbol.size());
                stripped = true;
            }
        }
    }
    return display;
}

std::string visibleUpperCase(std::string_view characters) {
    const icu::UnicodeString source = icu::UnicodeString::fromUTF8(icu::StringPiece(
        characters.data(), static_cast<int32_t>(std::min<std::size_t>(characters.size(), 256))));
    icu::UnicodeString kept;
    int32_t count = 0;
    for (int32_t i = 0; i < source.length() && count < kMaxNameCodePoints; i = source.moveIndex32(i, 1)) {
        const UChar32 c = source.char32At(i);
        if (isVisible(c)) {
            kept.append(c);
            ++count;
        }
    }
    std::string out;
    kept.toUpper(icu::Locale::getRoot()).toUTF8String(out);
    return out;
}

std::string linuxKeyName(std::uint32_t keyCode, std::string_view display,
                         const KeyNameTranslator& translate) {
    if (const char* named = lookup(kLinuxNames, keyCode)) return translate ? translate(named) : named;
    if (const auto* f = std::find(functionKeyCodes.begin(), functionKeyCodes.end(), keyCode);
        f != functionKeyCodes.end()) {
        // Appended rather than "F" + …: GCC 12 warns of overlapping copies there, wrongly.
        std::string name = "F";
        name += std::to_string(f - functionKeyCodes.begin() + 1);
        return name;
    }
    std::string recorded = visibleUpperCase(recordedKeyPart(display));
    if (!recorded.empty()) return recorded;
    if (keyCode < kUsCharacters.size() && kUsCharacters[keyCode] != ' ') return {kUsCharacters[keyCode]};
    return "?";
}

}  // namespace

bool isFunctionKey(std::uint32_t keyCode) {
    return std::find(functionKeyCodes.begin(), functionKeyCodes.end(), keyCode) != functionKeyCodes.end();
}

bool isModifierKey(std::uint32_t keyCode) {
    // Right and left Super, left Shift, Caps Lock, left Alt, left Control, right Shift, right Alt,
    // right Control, Function.
    return keyCode >= 54 && keyCode <= 63;
}

std::string modifierSymbols(std::uint32_t modifiers) {
    std::string out;
    if (modifiers & modifier::kControl) out += "\u2303";
    if (modifiers & modifier::kAlt) out += "\u2325";
    if (modifiers & modifier::kShift) out += "\u21E7";
    if (modifiers & modifier::kSuper) out += "\u2318";
    return out;
}

std::string keyName(std::uint32_t keyCode, std::string_view charactersIgnoringModifiers) {
    if (const char* fixed = lookup(kFixedNames, keyCode)) return fixed;
    std::string name = visibleUpperCase(charactersIgnoringModifiers);
    if (!name.empty()) return name;
    if (const char* symbol = lookup(kSymbolNames, keyCode)) return symbol;
    return "?";
}

std::string linuxCombinationText(const GlobalShortcut& shortcut, const KeyNameTranslator& translate) {
    std::string out;
    if (shortcut.modifiers & modifier::kControl) out += "Ctrl+";
    if (shortcut.modifiers & modifier::kAlt) out += "Alt+";
    if (shortcut.modifiers & modifier::kShift) out += "Shift+";
    if (shortcut.modifiers & modifier::kSuper) out += "Super+";
    return out + linuxKeyName(shortcut.keyCode, shortcut.display, translate);
}

RecordingKeyOutcome handleRecordingKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                       std::string_view charactersIgnoringModifiers) {
    using Kind = RecordingKeyOutcome::Kind;
    if (keyCode == vkey::kEscape) return {Kind::cancel, std::nullopt};
    const std::uint32_t mods = modifiers & modifier::kMask;
    if (isModifierKey(keyCode)) return {Kind::passOn, std::nullopt};
    if (keyCode == vkey::kBackspace || keyCode == vkey::kForwardDelete) {
        if (mods == 0) return {Kind::clear, std::nullopt};
    } else if (mods == 0 && !isFunctionKey(keyCode)) {
        return {Kind::passOn, std::nullopt};
    }
    return {
        Kind::record,
        GlobalShortcut{keyCode, mods, modifierSymbols(mods) + keyName(keyCode, charactersIgnoringModifiers)}};
}

}  // namespace orvalin
