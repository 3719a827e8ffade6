#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "engine/platform.h"

struct zwp_input_method_keyboard_grab_v2;

namespace orvalin::xkb {
class XkbKeyboard;
}

namespace orvalin::wayland {

class InputMethod;
class VirtualKeyboard;

// The input method's keyboard grab as the program's key monitor. Every key the grab receives is
// passed on at once, unchanged, through the virtual keyboard, before the engine sees it; the
// engine's reaction (an insertion) therefore follows the key in the application too.
class GrabKeyMonitor final : public KeyMonitor {
public:
    GrabKeyMonitor(InputMethod& inputMethod, VirtualKeyboard& keyboard, std::string composeLocale);
    ~GrabKeyMonitor() override;
    GrabKeyMonitor(const GrabKeyMonitor&) = delete;
    GrabKeyMonitor& operator=(const GrabKeyMonitor&) = delete;

    bool start(Handler handler) override;
    void stop() override;
    // While this holds, keys are passed on but not reported (the program's own windows).
    void setSuppressed(std::function<bool()> suppressed) { suppressed_ = std::move(suppressed); }

private:
    static void onKeymap(void* data, zwp_input_method_keyboard_grab_v2*, std::uint32_t format, int fd,
                         std::uint32_t size);
    static void onKey(void* data, zwp_input_method_keyboard_grab_v2*, std::uint32_t serial,
                      std::uint32_t time, std::uint32_t key, std::uint32_t state);
    static void onModifiers(void* data, zwp_input_method_keyboard_grab_v2*, std::uint32_t serial,
                            std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                            std::uint32_t group);
    void useKeymap(std::string text);
    void report(std::uint32_t key);
    void releaseHeldKeys();

    InputMethod& inputMethod_;
    VirtualKeyboard& keyboard_;
    std::string composeLocale_;
    zwp_input_method_keyboard_grab_v2* grab_ = nullptr;
    Handler handler_;
    std::function<bool()> suppressed_;
    std::string keymapText_;  // the keymap the grab reported last
    std::unique_ptr<xkb::XkbKeyboard> decoder_;
    std::uint32_t mods_ = 0;
    std::set<std::uint32_t> held_;  // keys passed on as pressed and not yet released
};

}  // namespace orvalin::wayland
