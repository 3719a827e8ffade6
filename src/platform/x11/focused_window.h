#pragma once

#include <xcb/xcb.h>

#include <string>

namespace orvalin::x11 {

class X11Connection;

// The window that has the keyboard: `_NET_ACTIVE_WINDOW` where a window manager publishes it,
// otherwise the top-level window holding the input focus.
xcb_window_t activeWindow(X11Connection& conn);

// WM_CLASS of a window as (instance, class); empty when it has none.
struct WindowClass {
    std::string instance;
    std::string className;
};
WindowClass windowClass(X11Connection& conn, xcb_window_t window);

// How the focused window wants to be told to paste the clipboard.
enum class PasteChord {
    ControlV,       // ordinary applications
    ControlShiftV,  // terminal emulators
    ShiftInsert,    // xterm and its kin, which paste the primary selection
};
PasteChord pasteChordForClass(const WindowClass& wc);

}  // namespace orvalin::x11
