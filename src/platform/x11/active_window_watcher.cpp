#include "platform/x11/active_window_watcher.h"

#include <cstdlib>
#include <cstring>

#include "platform/x11/x11_connection.h"

namespace orvalin::x11 {

ActiveWindowWatcher::ActiveWindowWatcher(X11Connection& conn) : conn_(conn) {}

ActiveWindowWatcher::~ActiveWindowWatcher() {
    stop();
}

void ActiveWindowWatcher::start(std::function<void()> onSwitch) {
    onSwitch_ = std::move(onSwitch);
    if (listenerId_ != 0 || conn_.broken()) return;
    activeAtom_ = conn_.atom("_NET_ACTIVE_WINDOW");
    selectRootPropertyChanges();
    listenerId_ = conn_.addListener([this](const xcb_generic_event_t& e) { onEvent(e); });
    check();
}

void ActiveWindowWatcher::selectRootPropertyChanges() {
    // An event mask is set whole: add to what this connection already selects on the root (other
    // parts of the program listen there too) instead of replacing it.
    xcb_connection_t* c = conn_.raw();
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (auto* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, conn_.root()), nullptr)) {
        mask |= attributes->your_event_mask;
        std::free(attributes);
    }
    xcb_change_window_attributes(c, conn_.root(), XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
}

void ActiveWindowWatcher::stop() {
    onSwitch_ = nullptr;
    if (listenerId_ != 0) {
        conn_.removeListener(listenerId_);
        listenerId_ = 0;
    }
}

ActiveWindowWatcher::Owner ActiveWindowWatcher::ownerOf(xcb_window_t window) {
    Owner owner;
    if (window == XCB_WINDOW_NONE) return owner;
    owner.client = window & ~conn_.resourceIdMask();
    if (auto pid = conn_.property(window, conn_.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 4);
        pid && pid->size() >= 4) {
        std::memcpy(&owner.pid, pid->data(), 4);
    }
    return owner;
}

void ActiveWindowWatcher::onEvent(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return;
    const auto& pn = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (pn.window == conn_.root() && pn.atom == activeAtom_) check();
}

void ActiveWindowWatcher::check() {
    auto value = conn_.property(conn_.root(), activeAtom_, XCB_ATOM_WINDOW, 4);
    xcb_window_t window = XCB_WINDOW_NONE;
    if (value && value->size() >= 4) std::memcpy(&window, value->data(), 4);
    if (window == active_) return;
    Owner owner = ownerOf(window);
    bool first = active_ == 0 && owner_ == Owner{};
    active_ = window;
    // No active window (a desktop click) says nothing about who comes next: wait for it.
    if (window == XCB_WINDOW_NONE) return;
    bool sameProcess =
        (owner.pid != 0 && owner_.pid != 0) ? owner.pid == owner_.pid : owner.client == owner_.client;
    owner_ = owner;
    if (!first && !sameProcess && onSwitch_) onSwitch_();
}

}  // namespace orvalin::x11
