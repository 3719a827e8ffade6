#pragma once

#include <functional>
#include <memory>
#include <string>

namespace orvalin {

namespace wayland {
class WaylandConnection;
class InputMethod;
class InputMethodFocusWatch;
class VirtualKeyboard;
class GrabKeyMonitor;
class WaylandTextInserter;
class VirtualKeySynthesizer;
class WaylandTrustQuery;
}  // namespace wayland

// The native Wayland route, when the compositor offers it: the seat's input method and a
// virtual keyboard, with everything the engine reaches through them.
class WaylandSession {
public:
    // Opens the route on WAYLAND_DISPLAY `name`; nothing, with the reason in `why` (in the
    // user's words), when this compositor cannot serve it or another input method holds the seat.
    static std::unique_ptr<WaylandSession> open(const std::string& name, const std::string& composeLocale,
                                                std::string& why);
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    // From now on events are read on the main loop; `onLoss` runs once if the compositor goes,
    // `onSeatLost` if the input method stops being ours while it stays.
    void watch(std::function<void()> onLoss, std::function<void()> onSeatLost);
    bool broken() const;
    std::string failure() const;

    wayland::GrabKeyMonitor& keyMonitor() { return *monitor_; }
    wayland::VirtualKeySynthesizer& keySynthesizer() { return *synthesizer_; }
    wayland::WaylandTextInserter& textInserter() { return *inserter_; }
    wayland::WaylandTrustQuery& trust() { return *trust_; }
    wayland::InputMethodFocusWatch& focusWatch() { return *focusWatch_; }

private:
    WaylandSession();

    std::unique_ptr<wayland::WaylandConnection> connection_;
    std::unique_ptr<wayland::InputMethod> inputMethod_;
    std::unique_ptr<wayland::VirtualKeyboard> keyboard_;
    std::unique_ptr<wayland::GrabKeyMonitor> monitor_;
    std::unique_ptr<wayland::WaylandTextInserter> inserter_;
    std::unique_ptr<wayland::VirtualKeySynthesizer> synthesizer_;
    std::unique_ptr<wayland::WaylandTrustQuery> trust_;
    std::unique_ptr<wayland::InputMethodFocusWatch> focusWatch_;
};

}  // namespace orvalin
