#include "platform/x11/focused_window.h"
#include "platform/x11/xcb_reply.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/x11/x11_connection.h"

namespace orvalin::x11 {

namespace {

xcb_window_t windowFromProperty(const std::optional<std::string>& value) {
    if (!value || value->size() < 4) return XCB_WINDOW_NONE;
    xcb_window_t w = 0;
    std::memcpy(&w, value->data(), sizeof w);
    return w;
}

// Terminal emulators, by WM_CLASS instance or class, matched exactly.
constexpr std::array<std::string_view, 40> kTerminalClasses = {"gnome-terminal",
                                                               "Gnome-terminal",
                                                               "gnome-terminal-server",
                                                               "konsole",
                                                               "Konsole",
                                                               "xfce4-terminal",
                                                               "Xfce4-terminal",
                                                               "kitty",
                                                               "Alacritty",
                                                               "alacritty",
                                                               "tilix",
                                                               "Tilix",
                                                               "terminator",
                                                               "Terminator",
                                                               "mate-terminal",
                                                               "Mate-terminal",
                                                               "lxterminal",
                                                               "Lxterminal",
                                                               "qterminal",
                                                               "QTerminal",
                                                               "terminology",
                                                               "Terminology",
                                                               "sakura",
                                                               "Sakura",
                                                               "guake",
                                                               "Guake",
                                                               "tilda",
                                                               "Tilda",
                                                               "yakuake",
                                                               "Yakuake",
                                                               "wezterm",
                                                               "org.wezfurlong.wezterm",
                                                               "foot",
                                                               "footclient",
                                                               "st",
                                                               "st-256color",
                                                               "kgx",
                                                               "org.gnome.Console",
                                                               "cool-retro-term",
                                                               "Ptyxis"};
// They paste the primary selection with Shift+Insert; Control+Shift+V is not a paste there.
constexpr std::array<std::string_view, 8> kPrimaryTerminalClasses = {"xterm", "XTerm", "uxterm", "UXTerm",
                                                                     "urxvt", "URxvt", "rxvt",   "Rxvt"};

template <std::size_t N>
bool matches(const std::array<std::string_view, N>& list, const WindowClass& wc) {
    for (std::string_view name : list) {
        if (wc.instance == name || wc.className == name) return true;
    }
    return false;
}

}  // namespace

xcb_window_t activeWindow(X11Connection& conn) {
    xcb_window_t active =
        windowFromProperty(conn.property(conn.root(), conn.atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 4));
    if (active != XCB_WINDOW_NONE) return active;

    xcb_connection_t* c = conn.raw();
    std::unique_ptr<xcb_get_input_focus_reply_t, FreeDeleter> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    if (!focus || focus->focus == XCB_WINDOW_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT) {
        return XCB_WINDOW_NONE;
    }
    // Walk up to the first window that carries WM_CLASS: the client's top-level.
    xcb_window_t w = focus->focus;
    for (int depth = 0; depth < 32 && w != XCB_WINDOW_NONE && w != conn.root(); ++depth) {
        if (conn.property(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 4)) return w;
        std::unique_ptr<xcb_query_tree_reply_t, FreeDeleter> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
        if (!tree) break;
        w = tree->parent;
    }
    return focus->focus;
}

WindowClass windowClass(X11Connection& conn, xcb_window_t window) {
    WindowClass wc;
    auto value = conn.property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 1024);
    if (!value) return wc;
    std::string_view v(*value);
    auto nul = v.find('\0');
    wc.instance = std::string(v.substr(0, nul));
    if (nul != std::string_view::npos) {
        std::string_view rest = v.substr(nul + 1);
        wc.className = std::string(rest.substr(0, rest.find('\0')));
    }
    return wc;
}

PasteChord pasteChordForClass(const WindowClass& wc) {
    if (matches(kPrimaryTerminalClasses, wc)) return PasteChord::ShiftInsert;
    if (matches(kTerminalClasses, wc)) return PasteChord::ControlShiftV;
    return PasteChord::ControlV;
}

}  // namespace orvalin::x11
