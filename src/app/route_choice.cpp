#include "app/route_choice.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <cstdlib>
#include <iostream>

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

// The native route where the compositor offers it; otherwise the X11 route reaches the X11
// applications through XWayland, and the user is told so once, here and in the panel.
std::unique_ptr<RouteSession> openWayland(const std::string& name, const std::string& helpUrl,
                                          std::string& notice) {
    std::string why;
    if (auto session = wayland::WaylandSession::open(name, composeLocale(), why)) return session;
    report(QCoreApplication::translate(
               "orvalin",
               "orvalin : %1 : seules les applications X11 (XWayland) reçoivent les dates "
               "dans cette session (aide : %2)")
               .arg(QString::fromStdString(why), QString::fromStdString(helpUrl)));
    notice = QCoreApplication::translate("orvalin", "Seules les applications X11 reçoivent les dates — Aide…")
                 .toStdString();
    return nullptr;
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

std::vector<Route> routesToTry(const SessionDisplays& displays) {
    if (!displays.wayland.empty()) return {Route::Wayland, Route::X11};
    return {Route::X11};
}

OpenedRoute openRoute(const SessionDisplays& displays, const std::string& helpUrl) {
    OpenedRoute opened;
    for (Route route : routesToTry(displays)) {
        switch (route) {
            case Route::Wayland:
                opened.session = openWayland(displays.wayland, helpUrl, opened.notice);
                break;
            case Route::X11:
                opened.session = x11::X11Session::open(displays.x11, composeLocale());
                if (!opened.session)
                    report(QCoreApplication::translate("orvalin", "orvalin : pas de connexion au serveur X"));
                break;
            case Route::IBus:  // not offered by routesToTry: its session is not part of the program yet
                break;
        }
        if (opened.session) break;
    }
    return opened;
}

}  // namespace orvalin
