#include "platform/x11/keyboard_hold.h"

#include <xcb/xcb.h>

#include "platform/x11/x11_connection.h"

namespace orvalin::x11 {

KeyboardHold::KeyboardHold(X11Connection& conn, std::function<void()> answersFirst,
                           std::chrono::milliseconds bound)
    : conn_(conn), answersFirst_(std::move(answersFirst)) {
    bound_.setSingleShot(true);
    bound_.setInterval(bound);
    QObject::connect(&bound_, &QTimer::timeout, &bound_, [this] { release(); });
}

KeyboardHold::~KeyboardHold() {
    release();
}

void KeyboardHold::hold() {
    if (conn_.broken()) return;
    bound_.start();
    if (held_) return;
    xcb_connection_t* c = conn_.raw();
    // The reply is not awaited: a grab refused (another program holds the keyboard) only means
    // the keys are not held, and letting go of a grab we do not have does nothing.
    xcb_discard_reply(
        c, xcb_grab_keyboard(c, 0, conn_.root(), XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_SYNC)
               .sequence);
    xcb_flush(c);
    held_ = true;
}

void KeyboardHold::releaseSoon() {
    if (!held_) return;
    QTimer::singleShot(0, &bound_, [this] { release(); });
}

void KeyboardHold::release() {
    bound_.stop();
    if (!held_) return;
    held_ = false;
    if (answersFirst_) answersFirst_();
    if (conn_.broken()) return;  // the server let go of it with the connection
    xcb_ungrab_keyboard(conn_.raw(), XCB_CURRENT_TIME);
    xcb_flush(conn_.raw());
}

}  // namespace orvalin::x11
