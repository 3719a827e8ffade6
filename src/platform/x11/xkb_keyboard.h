#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct xkb_compose_table;
struct xkb_compose_state;

namespace orvalin::x11 {

// What one key press means: the program's virtual key code, the modifier word in force when it
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
    void resetCompose();
    TranslatedKey translate(std::uint32_t xKeycode);

    xkb_context* context_;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    xkb_compose_table* composeTable_ = nullptr;
    xkb_compose_state* compose_ = nullptr;
    std::uint32_t shiftMask_ = 0, controlMask_ = 0, altMask_ = 0, superMask_ = 0, lockMask_ = 0;
};

}  // namespace orvalin::x11
