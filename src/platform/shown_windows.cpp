#include "platform/shown_windows.h"

#include <QGuiApplication>
#include <QWindow>

namespace orvalin {

ShownWindows shownWindows() {
    ShownWindows shown = ShownWindows::None;
    for (const QWindow* window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible()) continue;
        if (window->type() == Qt::Popup) return ShownWindows::Popup;
        // Tool tips, and the tray icon, which the window manager never focuses.
        if (window->type() == Qt::ToolTip ||
            window->flags().testAnyFlags(Qt::BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus))
            continue;
        shown = ShownWindows::Focusable;
    }
    return shown;
}

}  // namespace orvalin
