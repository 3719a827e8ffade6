#include "platform/wayland/client_keyboard_focus.h"

#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

namespace orvalin::wayland {

namespace {

// Only enter and leave matter here; keys and the keymap are Qt's to read.
const wl_keyboard_listener kKeyboardListener = {
    [](void*, wl_keyboard*, std::uint32_t, int fd, std::uint32_t) { ::close(fd); },
    [](void* data, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) { *static_cast<bool*>(data) = true; },
    [](void* data, wl_keyboard*, std::uint32_t, wl_surface*) { *static_cast<bool*>(data) = false; },
    [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
    [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
    [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},
};

}  // namespace

ClientKeyboardFocus::ClientKeyboardFocus(wl_display* display) : display_(display) {
    if (display_ == nullptr) return;
    queue_ = wl_display_create_queue(display_);
    // The registry, and so everything made from it, answers on this object's queue only.
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display_));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue_);
    registry_ = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    static const wl_registry_listener registryListener = {&ClientKeyboardFocus::onGlobal,
                                                          [](void*, wl_registry*, std::uint32_t) {}};
    wl_registry_add_listener(registry_, &registryListener, this);
    // The seat, then its capabilities.
    wl_display_roundtrip_queue(display_, queue_);
    if (seat_ != nullptr) wl_display_roundtrip_queue(display_, queue_);
}

ClientKeyboardFocus::~ClientKeyboardFocus() {
    if (keyboard_ != nullptr) wl_keyboard_destroy(keyboard_);
    if (seat_ != nullptr) wl_seat_destroy(seat_);
    if (registry_ != nullptr) wl_registry_destroy(registry_);
    if (queue_ != nullptr) wl_event_queue_destroy(queue_);
}

void ClientKeyboardFocus::onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                                   const char* interface, std::uint32_t version) {
    auto* self = static_cast<ClientKeyboardFocus*>(data);
    if (self->seat_ != nullptr || std::strcmp(interface, wl_seat_interface.name) != 0) return;
    self->seat_ = static_cast<wl_seat*>(
        wl_registry_bind(registry, name, &wl_seat_interface, std::min<std::uint32_t>(version, 4)));
    static const wl_seat_listener seatListener = {&ClientKeyboardFocus::onCapabilities,
                                                  [](void*, wl_seat*, const char*) {}};
    wl_seat_add_listener(self->seat_, &seatListener, self);
}

// A seat may gain its keyboard late (a virtual keyboard on a compositor without any) or lose it.
void ClientKeyboardFocus::onCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
    auto* self = static_cast<ClientKeyboardFocus*>(data);
    const bool has = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (has && self->keyboard_ == nullptr) {
        self->keyboard_ = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(self->keyboard_, &kKeyboardListener, &self->focused_);
    } else if (!has && self->keyboard_ != nullptr) {
        wl_keyboard_destroy(self->keyboard_);
        self->keyboard_ = nullptr;
        self->focused_ = false;
    }
}

bool ClientKeyboardFocus::held() {
    if (queue_ == nullptr || wl_display_roundtrip_queue(display_, queue_) < 0) return false;
    return keyboard_ != nullptr && focused_;
}

}  // namespace orvalin::wayland
