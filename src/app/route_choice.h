#pragma once

#include <memory>
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

// The routes worth trying in this session, best first: the native Wayland route where there is
// a compositor, then the X11 route (through XWayland in a Wayland session).
std::vector<Route> routesToTry(const SessionDisplays& displays);

struct OpenedRoute {
    std::unique_ptr<RouteSession> session;  // nothing when no route could be opened
    std::string notice;                     // a limit of this session the user should know of
};

// The one place the route is chosen: the first of routesToTry that opens. Why one did not open
// goes to standard error, in the interface language, with `helpUrl`.
OpenedRoute openRoute(const SessionDisplays& displays, const std::string& helpUrl);

}  // namespace orvalin
