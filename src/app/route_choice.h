#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/route_session.h"

namespace orvalin {

// The ways of reaching the user's applications.
enum class Route { X11, Wayland, IBus };

// The session's displays, as the environment names them.
struct SessionDisplays {
    std::string wayland;  // WAYLAND_DISPLAY
    std::string x11;      // DISPLAY
    static SessionDisplays fromEnvironment();
};

// Before Qt starts: its windows go to the X display whenever one answers, so that the key
// monitor, the synthesizer and the clipboard all speak to the same display; a Wayland session
// without XWayland leaves them to Qt's own choice. False when no display can be reached at all.
bool chooseWindowSystem(const SessionDisplays& displays);

// The route named on the command line: "x11", "wayland", "ibus"; nothing for "auto" and for a
// name that is none of them (`known` says which).
std::optional<Route> routeNamed(const std::string& name, bool& known);

// The routes worth trying in this session, best first: in a Wayland session the compositor's
// own input method (wlroots), then IBus (GNOME, KDE Plasma), then the X11 route through
// XWayland; the X11 route elsewhere. A forced route is the only one tried.
std::vector<Route> routesToTry(const SessionDisplays& displays, std::optional<Route> forced = std::nullopt);

struct OpenedRoute {
    std::unique_ptr<RouteSession> session;  // nothing when no route could be opened
    std::string notice;                     // a limit of this session the user should know of
};

struct RouteRequest {
    std::optional<Route> forced;  // nothing: chosen for the session
    std::string helpUrl;          // told with a route's limits
    std::string program;          // what ibus-daemon starts for the IBus engine
};

// The one place the route is chosen: the first of routesToTry that opens. Why one did not open
// goes to standard error, in the interface language.
OpenedRoute openRoute(const SessionDisplays& displays, const RouteRequest& request);

}  // namespace orvalin
