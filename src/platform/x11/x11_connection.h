#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QSocketNotifier;

namespace orvalin::x11 {

// The program's own connection to the X server for everything but the key stream: extension
// checks, XKB notifications, window properties, key injection. Its events are read on the main
// loop through a socket notifier and handed to the listeners; a broken connection is reported to
// the loss handler once and the notifier is switched off so that the loop does not spin.
class X11Connection {
public:
    using EventListener = std::function<void(const xcb_generic_event_t&)>;

    // Nothing when the display cannot be opened.
    static std::unique_ptr<X11Connection> open(const char* displayName = nullptr);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    xcb_connection_t* raw() const { return conn_; }
    xcb_window_t root() const { return root_; }
    std::uint32_t resourceIdMask() const { return resourceIdMask_; }

    bool hasExtension(std::string_view name);
    // The XKB extension set up for xkbcommon; the first event code of XKB in `firstEvent`.
    bool setUpXkb(std::uint8_t* firstEvent);

    xcb_atom_t atom(std::string_view name);

    // True while the server answers a round trip.
    bool alive();
    bool broken() const;

    // Listeners are called for every event read from the connection, in order.
    int addListener(EventListener listener);
    void removeListener(int id);
    // Called once when the connection turns out to be broken.
    void setLossHandler(std::function<void()> handler) { lossHandler_ = std::move(handler); }

    // Reads and dispatches whatever already arrived, without waiting.
    void dispatchPending();
    // Waits at most `timeout` for an event accepted by `match`, dispatching all others as they
    // come. Used for the few exchanges that must finish before the caller goes on.
    std::optional<std::vector<std::uint8_t>> waitForEvent(
        const std::function<bool(const xcb_generic_event_t&)>& match, std::chrono::milliseconds timeout);

    // The window property as bytes (8, 16 or 32-bit items), nothing when missing.
    std::optional<std::string> property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                        std::uint32_t maxBytes = 4096);

private:
    explicit X11Connection(xcb_connection_t* conn);
    void dispatch(xcb_generic_event_t* event);
    void checkBroken();

    xcb_connection_t* conn_ = nullptr;
    xcb_window_t root_ = 0;
    std::uint32_t resourceIdMask_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    struct Listener {
        int id;
        EventListener fn;
    };
    std::vector<Listener> listeners_;
    int nextListenerId_ = 1;
    std::function<void()> lossHandler_;
    bool lossReported_ = false;
    std::vector<std::pair<std::string, xcb_atom_t>> atoms_;
};

}  // namespace orvalin::x11
