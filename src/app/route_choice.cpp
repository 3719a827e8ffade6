#include "app/route_choice.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <cstdlib>
#include <iostream>

#include "platform/ibus/ibus_session.h"
#include "platform/wayland/wayland_session.h"
#include "platform/x11/x11_session.h"

namespace orvalin {

namespace {

void report(const QString& line) {
    std::cerr << line.toStdString() << "\n";
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Qt gives up with an abort when it cannot reach the display; say it plainly instead.
bool displayReachable() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    bool ok = c != nullptr && xcb_connection_has_error(c) == 0;
    if (c != nullptr) xcb_disconnect(c);
    return ok;
}

// The locale whose Compose table applies: LC_ALL, LC_CTYPE, then LANG.
std::string composeLocale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && v[0] != '\0') return v;
    }
    return "C.UTF-8";
}

QString routeName(Route route) {
    switch (route) {
        case Route::X11:
            return QStringLiteral("x11");
        case Route::Wayland:
            return QStringLiteral("wayland");
        case Route::IBus:
            return QStringLiteral("ibus");
    }
    return {};
}

std::unique_ptr<RouteSession> openOne(Route route, const SessionDisplays& displays,
                                      const RouteRequest& request, std::string& why) {
    switch (route) {
        case Route::Wayland:
            if (displays.wayland.empty()) {
                // Asked for by name outside a Wayland session: there is no compositor to name.
                why = QCoreApplication::translate("orvalin",
                                                  "pas de session Wayland (WAYLAND_DISPLAY est vide)")
                          .toStdString();
                return nullptr;
            }
            return wayland::WaylandSession::open(displays.wayland, composeLocale(), why);
        case Route::IBus:
            return ibus::IbusSession::open(composeLocale(), request.program, why);
        case Route::X11:
            if (auto session = x11::X11Session::open(displays.x11, composeLocale())) return session;
            why = QCoreApplication::translate("orvalin", "pas de connexion au serveur X").toStdString();
            return nullptr;
    }
    return nullptr;
}

// In a Wayland session the X11 route reaches the X11 applications only, through XWayland: the
// user is told why as the route is tried (`waylandWhy`: the native one did not open), and in
// the panel once it is open.
void reportXWaylandOnly(const std::string& waylandWhy, const std::string& helpUrl) {
    report(QCoreApplication::translate(
               "orvalin",
               "orvalin : %1 : seules les applications X11 (XWayland) reçoivent les dates "
               "dans cette session (aide : %2)")
               .arg(QString::fromStdString(waylandWhy), QString::fromStdString(helpUrl)));
}

std::string xWaylandOnlyNotice() {
    return QCoreApplication::translate("orvalin", "Seules les applications X11 reçoivent les dates — Aide…")
        .toStdString();
}

}  // namespace

SessionDisplays SessionDisplays::fromEnvironment() {
    return {environment("WAYLAND_DISPLAY"), environment("DISPLAY")};
}

bool chooseWindowSystem(const SessionDisplays& displays) {
    const bool xReachable = displayReachable();
    const bool wayland = !displays.wayland.empty();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && (xReachable || !wayland)) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    return xReachable || wayland;
}

std::optional<Route> routeNamed(const std::string& name, bool& known) {
    known = true;
    for (Route route : {Route::X11, Route::Wayland, Route::IBus})
        if (routeName(route).toStdString() == name) return route;
    known = name == "auto";
    return std::nullopt;
}

std::vector<Route> routesToTry(const SessionDisplays& displays, std::optional<Route> forced) {
    if (forced) return {*forced};
    if (!displays.wayland.empty()) return {Route::Wayland, Route::IBus, Route::X11};
    return {Route::X11};
}

OpenedRoute openRoute(const SessionDisplays& displays, const RouteRequest& request) {
    OpenedRoute opened;
    std::string waylandWhy;
    for (Route route : routesToTry(displays, request.forced)) {
        if (route == Route::X11 && !waylandWhy.empty()) reportXWaylandOnly(waylandWhy, request.helpUrl);
        std::string why;
        opened.session = openOne(route, displays, request, why);
        if (request.forced && !opened.session)
            report(QCoreApplication::translate("orvalin", "orvalin : la voie %1 ne s'ouvre pas : %2")
                       .arg(routeName(route), QString::fromStdString(why)));
        else if (route == Route::X11 && !opened.session)
            report(QCoreApplication::translate("orvalin", "orvalin : %1").arg(QString::fromStdString(why)));
        if (route == Route::Wayland && !opened.session) waylandWhy = why;
        if (!opened.session) continue;
        if (route == Route::X11 && !displays.wayland.empty()) opened.notice = xWaylandOnlyNotice();
        break;
    }
    return opened;
}

}  // namespace orvalin
