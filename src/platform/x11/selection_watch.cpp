#include "platform/x11/selection_watch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "platform/x11/x11_connection.h"

namespace orvalin::x11 {

SelectionRequestWatch::SelectionRequestWatch(X11Connection& conn, std::function<void()> onContentRequested)
    : onContentRequested_(std::move(onContentRequested)),
      clipboard_(conn.atom("CLIPBOARD")),
      targets_(conn.atom("TARGETS")),
      multiple_(conn.atom("MULTIPLE")),
      timestamp_(conn.atom("TIMESTAMP")),
      saveTargets_(conn.atom("SAVE_TARGETS")),
      hint_(conn.atom("x-kde-passwordManagerHint")),
      copyqHidden_(conn.atom("application/x-copyq-hidden")) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

SelectionRequestWatch::~SelectionRequestWatch() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool SelectionRequestWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || message == nullptr) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_SELECTION_REQUEST) return false;
    const auto* request = static_cast<const xcb_selection_request_event_t*>(message);
    if (request->selection != clipboard_ && request->selection != XCB_ATOM_PRIMARY) return false;
    xcb_atom_t t = request->target;
    if (t == targets_ || t == multiple_ || t == timestamp_ || t == saveTargets_ || t == hint_ ||
        t == copyqHidden_)
        return false;
    if (onContentRequested_) onContentRequested_();
    return false;  // Qt still answers it
}

void waitForQtRequests() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
    if (c == nullptr || xcb_connection_has_error(c) != 0) return;
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

xcb_window_t selectionOwner(X11Connection& conn, const char* selection) {
    if (conn.broken()) return XCB_WINDOW_NONE;
    xcb_connection_t* c = conn.raw();
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, conn.atom(selection)), nullptr),
        &std::free);
    return owner ? owner->owner : xcb_window_t{XCB_WINDOW_NONE};
}

}  // namespace orvalin::x11
