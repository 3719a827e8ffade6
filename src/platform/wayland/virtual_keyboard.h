#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct zwp_virtual_keyboard_v1;

namespace orvalin::wayland {

class WaylandConnection;
class TypingKeymap;

// The program's virtual keyboard on the user's seat. It passes the user's keys on unchanged
// (same keymap, same key codes, same modifiers), and types the program's own keys with a keymap
// made for them, after which the user's keymap and modifiers are back as they were.
class VirtualKeyboard {
public:
    explicit VirtualKeyboard(WaylandConnection& connection);
    ~VirtualKeyboard();
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

    // The user's keyboard, as the compositor describes it. Keys and modifiers are sent with the
    // caller's next flush, so that a batch of them costs one write.
    void forwardKeymap(std::string keymap);
    void forwardKey(std::uint32_t time, std::uint32_t key, std::uint32_t state);
    void forwardModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                          std::uint32_t group);

    // `erase` Backspaces, then `text` typed key by key. False when the text cannot be typed
    // (not UTF-8, or too many distinct characters); nothing was sent then.
    bool type(std::size_t erase, std::string_view text);

private:
    bool upload(const std::string& keymap);
    void holdUserKeymap();
    void tap(std::uint32_t key);
    void useOwnKeymap(const TypingKeymap& keymap);
    void restoreUserKeyboard();
    std::uint32_t now() const;

    WaylandConnection& connection_;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    std::string userKeymap_;        // empty until the compositor sent one
    bool holdsUserKeymap_ = false;  // the compositor has it as this keyboard's keymap
    std::uint32_t depressed_ = 0, latched_ = 0, locked_ = 0, group_ = 0;
};

}  // namespace orvalin::wayland
