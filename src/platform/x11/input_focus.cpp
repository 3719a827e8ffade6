#include "platform/x11/input_focus.h"
#include "platform/x11/xcb_reply.h"

#include <cstdlib>
#include <memory>

namespace orvalin::x11 {

namespace {

// A window id carries the id base of the client that made it.
bool madeBy(const xcb_setup_t& setup, xcb_window_t window) {
    return window != XCB_WINDOW_NONE && (window & ~setup.resource_id_mask) == setup.resource_id_base;
}

// The key goes to the deepest window under the pointer; a window of ours on the way down counts.
bool pointerInWindowOf(xcb_connection_t* conn, const xcb_setup_t& setup, xcb_window_t root) {
    xcb_window_t window = root;
    for (int depth = 0; depth < 8; ++depth) {
        Reply<xcb_query_pointer_reply_t> pointer(
            xcb_query_pointer_reply(conn, xcb_query_pointer(conn, window), nullptr));
        if (!pointer || !pointer->same_screen || pointer->child == XCB_WINDOW_NONE) return false;
        if (madeBy(setup, pointer->child)) return true;
        window = pointer->child;
    }
    return false;
}

}  // namespace

bool keysGoToClientOf(xcb_connection_t* conn) {
    if (conn == nullptr || xcb_connection_has_error(conn) != 0) return false;
    const xcb_setup_t& setup = *xcb_get_setup(conn);
    Reply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
    if (!focus || focus->focus == XCB_WINDOW_NONE) return false;
    if (madeBy(setup, focus->focus)) return true;
    for (auto screens = xcb_setup_roots_iterator(&setup); screens.rem > 0; xcb_screen_next(&screens)) {
        const xcb_window_t root = screens.data->root;
        if (focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus->focus == root)
            return pointerInWindowOf(conn, setup, root);
    }
    return false;
}

}  // namespace orvalin::x11
