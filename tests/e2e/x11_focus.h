#pragma once

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>

namespace e2e {

// No window manager runs under the test server: a test window takes the input focus directly.
inline void takeInputFocus(QWidget& window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) return;
    xcb_set_input_focus(x11->connection(), XCB_INPUT_FOCUS_POINTER_ROOT,
                        static_cast<xcb_window_t>(window.winId()), XCB_CURRENT_TIME);
    xcb_flush(x11->connection());
}

}  // namespace e2e
