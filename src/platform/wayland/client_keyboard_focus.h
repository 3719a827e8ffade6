#pragma once

#include <cstdint>

struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_seat;
struct wl_keyboard;

namespace orvalin::wayland {

// Whether the compositor's keyboard focus is on a surface of another part of the program that has
// a connection of its own (Qt's windows). A keyboard of its own on that connection, on an event
// queue of its own, is told of the focus entering and leaving those surfaces as Qt is, though
// Qt reports a lost focus only after a round trip of its own.
class ClientKeyboardFocus {
public:
    // `display` must outlive this object; nothing is known when it offers no keyboard.
    explicit ClientKeyboardFocus(wl_display* display);
    ~ClientKeyboardFocus();
    ClientKeyboardFocus(const ClientKeyboardFocus&) = delete;
    ClientKeyboardFocus& operator=(const ClientKeyboardFocus&) = delete;

    // One round trip first, so that every focus change the compositor sent before the key that
    // prompts the question has come in.
    bool held();

private:
    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version);
    static void onCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities);

    wl_display* display_;
    wl_event_queue* queue_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    bool focused_ = false;
};

}  // namespace orvalin::wayland
