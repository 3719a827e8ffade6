// The settings window as the application object opens it.
#include <QTabBar>

#include "settings_fixture.h"
#include "ui/settings/about_tab.h"

namespace orvalin::ui {
namespace {

using SettingsViewTest = SettingsTest;

TEST_F(SettingsViewTest, ThreeTabsInOrderWithTheirIconsFillingTheWindow) {
    startApp();
    SettingsView* view = openSettings();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->count(), 3);  // named in order as the accessibility bus reads them
    for (int i = 0; i < view->count(); ++i) EXPECT_FALSE(view->tabIcon(i).isNull()) << i;
    EXPECT_EQ(view->widget(0), generalOf(view));
    EXPECT_EQ(view->widget(1)->objectName(), QStringLiteral("formatsPage"));
    EXPECT_EQ(view->widget(2), aboutOf(view));
    EXPECT_EQ(view->currentIndex(), 0);
    EXPECT_EQ(view->window()->size(), QSize(520, 560));
    EXPECT_EQ(view->size(), view->window()->size());
}

TEST_F(SettingsViewTest, AReopenedWindowIsBuiltAfreshAndShowsGeneral) {
    startApp();
    SettingsView* first = openSettings();
    first->setCurrentIndex(2);
    QPointer<GeneralTab> oldTab = generalOf(first);
    first->window()->close();
    QTRY_VERIFY_WITH_TIMEOUT(oldTab.isNull(), 5000);  // closing discards the widgets

    SettingsView* second = openSettings();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->currentIndex(), 0);
    EXPECT_EQ(second->tabText(second->currentIndex()), QStringLiteral("Général"));
    // Asking again while it is open brings the same one forward.
    second->setCurrentIndex(1);
    EXPECT_EQ(openSettings(), second);
    EXPECT_EQ(second->currentIndex(), 1);
}

TEST_F(SettingsViewTest, ControlWAndEscapeCloseTheWindow) {
    startApp();
    for (auto [key, modifiers] :
         {std::pair{Qt::Key_W, Qt::ControlModifier}, {Qt::Key_Escape, Qt::NoModifier}}) {
        SettingsView* view = openSettings();
        QPointer<QWidget> window = view->window();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window, 5000));
        launchSwitch(generalOf(view))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 5000);
        EXPECT_EQ(app->window("preferences"), nullptr);
    }
}

TEST_F(SettingsViewTest, TabsAreChosenFromTheKeyboard) {
    startApp();
    SettingsView* view = openSettings();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view->window(), 5000));
    view->tabBar()->setFocus();
    QTest::keyClick(view->tabBar(), Qt::Key_Right);
    EXPECT_EQ(view->currentIndex(), 1);
    QTest::keyClick(view->tabBar(), Qt::Key_Right);
    EXPECT_EQ(view->currentIndex(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(view->currentIndex(), 0);
}

}  // namespace
}  // namespace orvalin::ui
