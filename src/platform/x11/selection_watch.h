#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <chrono>
#include <functional>

namespace orvalin::x11 {

class X11Connection;

// Sees the requests other clients make for the selections the program owns (they reach Qt's own
// connection) and reports those that fetch content, before Qt answers them.
class SelectionRequestWatch : public QAbstractNativeEventFilter {
public:
    SelectionRequestWatch(X11Connection& conn, std::function<void()> onContentRequested);
    ~SelectionRequestWatch() override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<void()> onContentRequested_;
    // Targets that describe the content rather than fetch it (clipboard managers ask for the
    // markers before deciding to keep it).
    xcb_atom_t clipboard_, targets_, multiple_, timestamp_, saveTargets_, hint_, copyqHidden_;
};

// Returns once the server has handled every request Qt's own connection sent so far (its answers
// to selection requests among them).
void waitForQtRequests();

// The window owning the named selection; XCB_WINDOW_NONE when nobody owns it.
xcb_window_t selectionOwner(X11Connection& conn, const char* selection);

}  // namespace orvalin::x11
