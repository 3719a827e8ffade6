#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct zwp_input_method_keyboard_grab_v2;

namespace orvalin::xkb {
class XkbKeyboard;
struct TranslatedKey;
}  // namespace orvalin::xkb

namespace orvalin::wayland {

class InputMethod;
class VirtualKeyboard;

// The input method's keyboard grab: the user's keys as the compositor gives them, the press
// translated with the user's keymap, which the virtual keyboard takes up to pass keys on.
class KeyboardGrab {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // `translated`: nothing while no keymap compiled.
        virtual void pressed(std::uint32_t time, std::uint32_t key, const xkb::TranslatedKey* translated) = 0;
        virtual void released(std::uint32_t time, std::uint32_t key) = 0;
        virtual void modifiersChanged(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                                      std::uint32_t group) = 0;
    };

    KeyboardGrab(InputMethod& inputMethod, VirtualKeyboard& keyboard, std::string composeLocale,
                 Listener& listener);
    ~KeyboardGrab();
    KeyboardGrab(const KeyboardGrab&) = delete;
    KeyboardGrab& operator=(const KeyboardGrab&) = delete;

    bool start();
    void stop();
    bool started() const { return grab_ != nullptr; }

private:
    static void onKeymap(void* data, zwp_input_method_keyboard_grab_v2*, std::uint32_t format, int fd,
                         std::uint32_t size);
    static void onKey(void* data, zwp_input_method_keyboard_grab_v2*, std::uint32_t serial,
                      std::uint32_t time, std::uint32_t key, std::uint32_t state);
    static void onModifiers(void* data, zwp_input_method_keyboard_grab_v2*, std::uint32_t serial,
                            std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                            std::uint32_t group);
    void useKeymap(std::string_view text);

    InputMethod& inputMethod_;
    VirtualKeyboard& keyboard_;
    std::string composeLocale_;
    Listener& listener_;
    zwp_input_method_keyboard_grab_v2* grab_ = nullptr;
    std::string keymapText_;  // the keymap the grab reported last
    std::unique_ptr<xkb::XkbKeyboard> decoder_;
    std::uint32_t mods_ = 0;
};

}  // namespace orvalin::wayland
