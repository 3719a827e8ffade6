#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct xkb_compose_table;
struct xkb_compose_state;

namespace orvalin::xkb {

// What one key press means: the program's virtual key code (by the key's position; by what it
// types on a US keyboard where the keymap numbers its keys as it likes), the modifier word in force when it
// was pressed, and the text it types (empty for dead keys, modifier keys and keys that type
// nothing).
struct TranslatedKey {
    std::uint16_t virtualKey = 0;
    std::uint32_t modifiers = 0;
    std::string characters;
    bool isModifierKey = false;  // Shift, Control, Alt, Super, Caps Lock and the like
};

// The keyboard as xkbcommon sees it: keymap, live state (modifiers, layout group) and Compose.
// Each press is translated with the modifier mask the server reported with it.
class XkbKeyboard {
public:
    // Takes ownership of the keymap and the state (the state must belong to the keymap).
    XkbKeyboard(xkb_context* context, xkb_keymap* keymap, xkb_state* state, const std::string& composeLocale);
    ~XkbKeyboard();
    XkbKeyboard(const XkbKeyboard&) = delete;
    XkbKeyboard& operator=(const XkbKeyboard&) = delete;

    // A keymap compiled from rule names, for a keyboard that is not the server's (tests, tools).
    static std::unique_ptr<XkbKeyboard> fromNames(const char* layout, const char* variant = "",
                                                  const char* composeLocale = "C.UTF-8");
    // A keymap in the XKB text format, as a Wayland compositor shares it; nothing when it does
    // not compile.
    static std::unique_ptr<XkbKeyboard> fromText(const std::string& keymap, const std::string& composeLocale);

    // Replaces keymap and state after a keymap change (takes ownership). Compose stays.
    void replaceKeymap(xkb_keymap* keymap, xkb_state* state);
    // The layout group the server reports as locked (a switch made by another client).
    void setLockedGroup(std::uint32_t group);
    std::uint32_t lockedGroup() const;

    // A key press as the server reported it, with the real modifier mask in force then (the core
    // event's state): no release needs to be seen to keep the modifiers right.
    TranslatedKey pressWithModifiers(std::uint32_t xKeycode, std::uint32_t realMods);

    // The key code typing `keysym` without modifiers in the current group (or another group),
    // nothing when no key has it.
    std::optional<std::uint32_t> keycodeForKeysym(std::uint32_t keysym) const;
    // The modifier word for a raw X modifier mask (as in core key events or XKB state).
    std::uint32_t modifierWordFromMask(std::uint32_t realMods) const;
    // Whether this X key code is a modifier key in the current keymap.
    bool isModifierKey(std::uint32_t xKeycode) const;

private:
    void computeModifierMasks();
    void examineNumbering();
    void resetCompose();
    bool compose(std::uint32_t sym, std::string& characters);
    TranslatedKey translate(std::uint32_t xKeycode, bool& composeFree);
    void forgetTranslations();
    std::uint16_t virtualKeyOf(std::uint32_t xKeycode) const;
    // A US keyboard, for keymaps that are not positional; nothing where it cannot be compiled.
    static const XkbKeyboard* usReference();

    xkb_context* context_;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    std::optional<std::uint32_t> appliedMods_;  // the mask the state holds, set by a press alone
    std::uint32_t group_ = 0;                   // the locked group the state holds
    xkb_compose_table* composeTable_ = nullptr;
    xkb_compose_state* compose_ = nullptr;
    bool composing_ = false;              // a Compose sequence is under way
    std::bitset<0x10000> startsNothing_;  // keysyms below 0x10000 that begin no Compose sequence
    std::uint32_t shiftMask_ = 0, controlMask_ = 0, altMask_ = 0, superMask_ = 0, lockMask_ = 0;
    bool positional_ = true;  // key codes name physical keys (an evdev keymap)

    // Typing repeats a few keys under one mask and group. Each press after a pass-through wakes
    // with cold caches, and xkbcommon's tables are spread wide: a translation made once, outside
    // Compose, is kept in one slot and read back whole.
    struct Remembered {
        std::uint32_t xKeycode = 0;  // 0: empty (no key has code 0)
        std::uint32_t mods = 0;
        std::uint32_t group = 0;
        TranslatedKey key;
    };
    std::array<Remembered, 128> remembered_{};
};

}  // namespace orvalin::xkb
