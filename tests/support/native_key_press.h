#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace orvalin::ui {

// X key codes (evdev code + 8) of the keys the user-interface tests press with modifiers.
namespace xkey {
inline constexpr quint32 kD = 40;
inline constexpr quint32 kK = 45;
}  // namespace xkey

// Delivers a key press the way the X11 platform does, native key code included (the capture
// field records by it): the shortcut override to the focus object, then the press and the
// release to the window that has the keyboard, which hands them to its focus widget.
inline void pressNativeKey(QWidget* anyWidgetInWindow, quint32 xKeycode, int qtKey,
                           Qt::KeyboardModifiers mods, const QString& text = {}) {
    QWindow* window = anyWidgetInWindow->window()->windowHandle();
    if (!window) return;
    QObject* focus = window->focusObject() ? window->focusObject() : window;
    QKeyEvent override(QEvent::ShortcutOverride, qtKey, mods, xKeycode, 0, 0, text);
    QCoreApplication::sendEvent(focus, &override);
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, xKeycode, 0, 0, text);
    QCoreApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, xKeycode, 0, 0, text);
    QCoreApplication::sendEvent(window, &release);
}

}  // namespace orvalin::ui
