// Types through a virtual keyboard of its own on the compositor in WAYLAND_DISPLAY, as a user at
// a US keyboard would, and prints when each key was sent (CLOCK_MONOTONIC nanoseconds), one line
// per key: "<ns> <character>". bench/wayland_latency matches them with what the terminal received.
//
// Usage: wayland_typing_probe TEXT [PAUSE_MS]   (TEXT: letters, digits and spaces)

#include <time.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/wayland/virtual_keyboard.h"
#include "platform/wayland/wayland_connection.h"

namespace {

long long nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

xkb_keycode_t keycodeOf(xkb_keymap* keymap, xkb_keysym_t sym) {
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap); kc <= xkb_keymap_max_keycode(keymap); ++kc) {
        const xkb_keysym_t* syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap, kc, 0, 0, &syms) == 1 && syms[0] == sym) return kc;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TEXT [PAUSE_MS]\n", argv[0]);
        return 2;
    }
    const std::string text = argv[1];
    const auto pause = std::chrono::milliseconds(argc > 2 ? std::atoi(argv[2]) : 10);
    const char* display = std::getenv("WAYLAND_DISPLAY");
    auto connection =
        orvalin::wayland::WaylandConnection::open(display ? display : "", std::chrono::seconds(10));
    if (!connection || !connection->missingProtocols().empty()) {
        std::fprintf(stderr, "no compositor with a virtual keyboard\n");
        return 1;
    }
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_rule_names names{"evdev", "pc105", "us", "", nullptr};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* source = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    orvalin::wayland::VirtualKeyboard keyboard(*connection);
    keyboard.forwardKeymap(source);
    std::free(source);
    connection->settle(std::chrono::seconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the terminal takes the keymap
    for (char c : text) {
        const xkb_keycode_t kc = keycodeOf(keymap, xkb_utf32_to_keysym(static_cast<unsigned char>(c)));
        if (kc == 0) continue;
        const long long sent = nowNs();
        keyboard.forwardKey(static_cast<std::uint32_t>(sent / 1000000), kc - 8, 1);
        keyboard.forwardKey(static_cast<std::uint32_t>(sent / 1000000), kc - 8, 0);
        connection->flush();
        std::printf("%lld %c\n", sent, c);
        std::this_thread::sleep_for(pause);
    }
    connection->settle(std::chrono::seconds(10));
    std::fflush(stdout);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return 0;
}
