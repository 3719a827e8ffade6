// The settings window as the application object opens it.
#include <QTabBar>

#include "settings_fixture.h"

namespace orvalin::ui {
namespace {

using SettingsViewTest = SettingsTest;

// A fresh window each time and one at a time: see the application object's tests.
TEST_F(SettingsViewTest, OpensOnGeneralWithAnIconPerTabFillingItsWindow) {
    startApp();
    SettingsView* view = openSettings();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->count(), 3);  // named in order as the accessibility bus reads them
    for (int i = 0; i < view->count(); ++i) EXPECT_FALSE(view->tabIcon(i).isNull()) << i;
    EXPECT_EQ(view->currentWidget(), generalOf(view));
    EXPECT_EQ(view->size(), view->window()->size());  // 520 × 560 on the real program: end-to-end tests
}

TEST_F(SettingsViewTest, ArrowsAndControlTabChooseTabsControlWAndEscapeClose) {
    startApp();
    SettingsView* view = openSettings();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view->window(), 5000));
    view->tabBar()->setFocus();
    QTest::keyClick(view->tabBar(), Qt::Key_Right);
    QTest::keyClick(view->tabBar(), Qt::Key_Right);
    EXPECT_EQ(view->currentIndex(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(view->currentIndex(), 0);

    for (auto [key, modifiers] :
         {std::pair{Qt::Key_W, Qt::ControlModifier}, {Qt::Key_Escape, Qt::NoModifier}}) {
        view = openSettings();
        QPointer<QWidget> window = view->window();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window, 5000));
        launchSwitch(generalOf(view))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 5000);
        EXPECT_EQ(app->window(Window::Settings), nullptr);
    }
}

}  // namespace
}  // namespace orvalin::ui
