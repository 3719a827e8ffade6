#include "platform/x11/x11_connection.h"
#include "platform/x11/xcb_reply.h"

#include <poll.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace orvalin::x11 {

std::unique_ptr<X11Connection> X11Connection::open(const char* displayName) {
    xcb_connection_t* conn = xcb_connect(displayName, nullptr);
    if (conn == nullptr) return nullptr;
    if (xcb_connection_has_error(conn) != 0) {
        xcb_disconnect(conn);
        return nullptr;
    }
    return std::unique_ptr<X11Connection>(new X11Connection(conn));
}

X11Connection::X11Connection(xcb_connection_t* conn) : conn_(conn) {
    const xcb_setup_t* setup = xcb_get_setup(conn_);
    resourceIdMask_ = setup->resource_id_mask;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    if (it.rem > 0) root_ = it.data->root;
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(conn_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { dispatchPending(); });
}

X11Connection::~X11Connection() {
    notifier_.reset();
    xcb_disconnect(conn_);
}

bool X11Connection::hasExtension(std::string_view name) {
    std::string n(name);
    auto cookie = xcb_query_extension(conn_, static_cast<std::uint16_t>(n.size()), n.c_str());
    Reply<xcb_query_extension_reply_t> reply(xcb_query_extension_reply(conn_, cookie, nullptr));
    return reply && reply->present;
}

bool X11Connection::setUpXkb(std::uint8_t* firstEvent) {
    std::uint8_t base = 0;
    int ok =
        xkb_x11_setup_xkb_extension(conn_, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                    XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &base, nullptr);
    if (ok == 0) return false;
    if (firstEvent != nullptr) *firstEvent = base;
    return true;
}

xcb_atom_t X11Connection::atom(std::string_view name) {
    for (const auto& [n, a] : atoms_) {
        if (n == name) return a;
    }
    auto cookie = xcb_intern_atom(conn_, 0, static_cast<std::uint16_t>(name.size()), name.data());
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(conn_, cookie, nullptr));
    xcb_atom_t a = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    if (a != XCB_ATOM_NONE) atoms_.emplace_back(std::string(name), a);
    return a;
}

bool X11Connection::alive() {
    if (broken()) return false;
    Reply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(conn_, xcb_get_input_focus(conn_), nullptr));
    checkBroken();
    return reply != nullptr;
}

bool X11Connection::broken() const {
    return xcb_connection_has_error(conn_) != 0;
}

int X11Connection::addListener(EventListener listener) {
    int id = nextListenerId_++;
    listeners_.push_back({id, std::move(listener)});
    return id;
}

void X11Connection::removeListener(int id) {
    std::erase_if(listeners_, [id](const Listener& l) { return l.id == id; });
}

void X11Connection::dispatch(xcb_generic_event_t* event) {
    // A listener may remove itself (or another) while being called.
    auto snapshot = listeners_;
    for (const auto& l : snapshot) {
        bool stillThere = std::any_of(listeners_.begin(), listeners_.end(),
                                      [&](const Listener& x) { return x.id == l.id; });
        if (stillThere) l.fn(*event);
    }
}

void X11Connection::dispatchPending() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(conn_)) {
        dispatch(event);
        std::free(event);
    }
    checkBroken();
}

void X11Connection::checkBroken() {
    if (!broken() || lossReported_) return;
    lossReported_ = true;
    if (notifier_) notifier_->setEnabled(false);
    if (lossHandler_) lossHandler_();
}

std::optional<std::vector<std::uint8_t>> X11Connection::waitForEvent(
    const std::function<bool(const xcb_generic_event_t&)>& match, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    xcb_flush(conn_);
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(conn_)) {
            if (match(*event)) {
                std::vector<std::uint8_t> bytes(
                    reinterpret_cast<std::uint8_t*>(event),
                    reinterpret_cast<std::uint8_t*>(event) + sizeof(xcb_generic_event_t));
                std::free(event);
                return bytes;
            }
            dispatch(event);
            std::free(event);
        }
        checkBroken();
        if (broken()) return std::nullopt;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd pfd{xcb_get_file_descriptor(conn_), POLLIN, 0};
        ::poll(&pfd, 1, static_cast<int>(left.count()));
    }
}

std::optional<std::string> X11Connection::property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                                   std::uint32_t maxBytes) {
    if (window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE) return std::nullopt;
    auto cookie = xcb_get_property(conn_, 0, window, property, type, 0, (maxBytes + 3) / 4);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(conn_, cookie, nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format == 0) return std::nullopt;
    int len = xcb_get_property_value_length(reply.get());
    const char* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(value, static_cast<std::size_t>(len));
}

}  // namespace orvalin::x11
