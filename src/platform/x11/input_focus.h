#pragma once

#include <xcb/xcb.h>

namespace orvalin::x11 {

// Whether a key pressed now goes to a window made on `conn`, as the X server has it at this
// moment: the input focus, or the window under the pointer where the focus follows the pointer
// (the root or PointerRoot). A key grab is not seen. One round trip, a few more under a focus
// that follows the pointer.
bool keysGoToClientOf(xcb_connection_t* conn);

}  // namespace orvalin::x11
