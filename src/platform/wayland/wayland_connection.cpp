#include "platform/wayland/wayland_connection.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "input-method-unstable-v2-client.h"
#include "virtual-keyboard-unstable-v1-client.h"

namespace orvalin::wayland {

WaylandConnection::WaylandConnection(wl_display* display) : display_(display) {}

std::unique_ptr<WaylandConnection> WaylandConnection::open(const std::string& name,
                                                           std::chrono::milliseconds bound) {
    wl_display* display = wl_display_connect(name.c_str());
    if (display == nullptr) return nullptr;
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    static const wl_registry_listener listener = {&WaylandConnection::onGlobal,
                                                  &WaylandConnection::onGlobalRemove};
    connection->registry_ = wl_display_get_registry(display);
    wl_registry_add_listener(connection->registry_, &listener, connection.get());
    if (!connection->settle(bound)) return nullptr;
    return connection;
}

WaylandConnection::~WaylandConnection() {
    if (virtualKeyboards_ != nullptr) zwp_virtual_keyboard_manager_v1_destroy(virtualKeyboards_);
    if (inputMethods_ != nullptr) zwp_input_method_manager_v2_destroy(inputMethods_);
    if (seat_ != nullptr) wl_seat_destroy(seat_);
    if (registry_ != nullptr) wl_registry_destroy(registry_);
    if (!broken()) wl_display_flush(display_);
    wl_display_disconnect(display_);
}

void WaylandConnection::onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                                 std::uint32_t /*version*/) {
    auto* self = static_cast<WaylandConnection*>(data);
    auto bind = [&](const wl_interface* type) { return wl_registry_bind(registry, name, type, 1); };
    // The first seat is the user's keyboard; compositors with several are rare and this program
    // serves one keyboard.
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat_ == nullptr) {
        self->seat_ = static_cast<wl_seat*>(bind(&wl_seat_interface));
    } else if (std::strcmp(interface, zwp_input_method_manager_v2_interface.name) == 0 &&
               self->inputMethods_ == nullptr) {
        self->inputMethods_ =
            static_cast<zwp_input_method_manager_v2*>(bind(&zwp_input_method_manager_v2_interface));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0 &&
               self->virtualKeyboards_ == nullptr) {
        self->virtualKeyboards_ =
            static_cast<zwp_virtual_keyboard_manager_v1*>(bind(&zwp_virtual_keyboard_manager_v1_interface));
    }
}

std::string WaylandConnection::missingProtocols() const {
    std::string missing;
    auto add = [&missing](const char* name) { missing += (missing.empty() ? "" : ", ") + std::string(name); };
    if (seat_ == nullptr) add("wl_seat");
    if (inputMethods_ == nullptr) add(zwp_input_method_manager_v2_interface.name);
    if (virtualKeyboards_ == nullptr) add(zwp_virtual_keyboard_manager_v1_interface.name);
    return missing;
}

bool WaylandConnection::settle(std::chrono::milliseconds bound) {
    bool done = false;
    static const wl_callback_listener listener = {[](void* data, wl_callback* callback, std::uint32_t) {
        *static_cast<bool*>(data) = true;
        wl_callback_destroy(callback);
    }};
    wl_callback* callback = wl_display_sync(display_);
    wl_callback_add_listener(callback, &listener, &done);
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done) {
        if (wl_display_dispatch_pending(display_) < 0) break;
        if (done) break;
        wl_display_flush(display_);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        if (wl_display_prepare_read(display_) != 0) continue;
        pollfd fd{wl_display_get_fd(display_), POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            wl_display_cancel_read(display_);
            continue;
        }
        if (wl_display_read_events(display_) < 0) break;
    }
    if (!done) {
        // The callback may still come; it must not write to this frame's flag then. A connection
        // the compositor broke off frees no proxy by itself: the callback goes in either case.
        wl_callback_destroy(callback);
        return false;
    }
    return wl_display_get_error(display_) == 0;
}

void WaylandConnection::prepareRead() {
    while (!broken() && wl_display_prepare_read(display_) != 0) {
        if (wl_display_dispatch_pending(display_) < 0) lose();
    }
}

void WaylandConnection::finishRead(bool readable) {
    if (broken()) return;
    if (!readable) {
        wl_display_cancel_read(display_);
    } else if (wl_display_read_events(display_) < 0) {
        return lose();
    }
    if (wl_display_dispatch_pending(display_) < 0) lose();
}

void WaylandConnection::flush() {
    if (broken()) return;
    if (wl_display_flush(display_) >= 0) {
        unsent_ = false;
        return;
    }
    // The compositor is slow to read: the rest goes when the socket takes it, never by waiting.
    if (errno == EAGAIN) {
        unsent_ = true;
        return;
    }
    lose();
}

}  // namespace orvalin::wayland
