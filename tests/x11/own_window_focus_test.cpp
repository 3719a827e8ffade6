// Whether typed keys go to one of the program's windows, asked of the X server while Qt's own
// view of the focus lags behind.
#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include "platform/shown_windows.h"
#include "platform/x11/input_focus.h"
#include "support/other_x_client.h"

namespace orvalin::x11 {
namespace {

TEST(OwnWindowFocus, TheServerSaysAtOnceWhereKeysGoAndOnlyShownWindowsAreAsked) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    xcb_connection_t* qt = x11->connection();
    EXPECT_EQ(shownWindows(), ShownWindows::None);

    // A window no window manager would focus, as a tray icon's, is not asked about.
    QWindow icon;
    icon.setFlags(Qt::Window | Qt::BypassWindowManagerHint);
    icon.setGeometry(400, 400, 20, 20);
    icon.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&icon));
    EXPECT_EQ(shownWindows(), ShownWindows::None);

    QWindow window;
    window.setGeometry(100, 100, 200, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(shownWindows(), ShownWindows::Focusable);

    OtherXClient user;
    user.focus(static_cast<xcb_window_t>(window.winId()));
    EXPECT_TRUE(keysGoToClientOf(qt));
    // Moved away, with no time for Qt to hear of it.
    user.focus(user.window("TextEditor"));
    EXPECT_FALSE(keysGoToClientOf(qt));

    // A focus that follows the pointer: the window under it.
    user.focus(XCB_INPUT_FOCUS_POINTER_ROOT);
    QCursor::setPos(150, 150);
    EXPECT_TRUE(keysGoToClientOf(qt));
    QCursor::setPos(600, 600);
    EXPECT_FALSE(keysGoToClientOf(qt));

    // An open popup takes every key through its grab, wherever the focus is.
    QWindow popup;
    popup.setFlags(Qt::Popup);
    popup.setGeometry(300, 300, 50, 50);
    popup.show();
    EXPECT_EQ(shownWindows(), ShownWindows::Popup);
    popup.hide();
    window.hide();
    EXPECT_EQ(shownWindows(), ShownWindows::None);
}

}  // namespace
}  // namespace orvalin::x11
