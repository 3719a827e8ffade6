#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <functional>

#include "engine/platform.h"

namespace orvalin::x11 {

class X11Connection;

// Tells when the active window (the root's `_NET_ACTIVE_WINDOW`) moves to a window of another
// process. Windows are told apart by their `_NET_WM_PID`, or by the X client that made them
// where a window does not name its process.
class ActiveWindowWatcher final : public ActiveApplicationSource {
public:
    explicit ActiveWindowWatcher(X11Connection& conn);
    ~ActiveWindowWatcher() override;

    void start(std::function<void()> onSwitch) override;
    void stop() override;

private:
    struct Owner {
        std::uint32_t pid = 0;     // 0: unknown
        std::uint32_t client = 0;  // resource-id base of the client that made the window
        bool operator==(const Owner&) const = default;
    };
    void selectRootPropertyChanges();
    Owner ownerOf(xcb_window_t window);
    void onEvent(const xcb_generic_event_t& event);
    void check();

    X11Connection& conn_;
    std::function<void()> onSwitch_;
    int listenerId_ = 0;
    xcb_atom_t activeAtom_ = 0;
    xcb_window_t active_ = 0;
    Owner owner_;
};

}  // namespace orvalin::x11
