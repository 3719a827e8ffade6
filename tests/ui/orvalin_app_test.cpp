#include <QSystemTrayIcon>
#include <QTimer>

#include "app_fixture.h"
#include "ui/panel/menu_bar_panel.h"

namespace orvalin::ui {
namespace {

class OrvalinAppTest : public AppTest {
protected:
    void SetUp() override { startApp(); }
};

// Their titles and sizes are checked on the real program (the end-to-end and AT-SPI tests).
TEST_F(OrvalinAppTest, WindowsAreKeptOneEachWithAFixedSize) {
    QWidget* preferences = app->openWindow(Window::Settings);
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(preferences->minimumSize(), preferences->maximumSize());
    EXPECT_EQ(app->openWindow(Window::Settings), preferences);
    EXPECT_TRUE(preferences->isVisible());

    QWidget* onboarding = app->openWindow(Window::Onboarding);
    ASSERT_NE(onboarding, nullptr);
    EXPECT_NE(onboarding, preferences);

    // Closing leaves no window behind; asking again makes a fresh one.
    preferences->close();
    QTRY_COMPARE_WITH_TIMEOUT(app->window(Window::Settings), static_cast<QWidget*>(nullptr), 5000);
    QWidget* again = app->openWindow(Window::Settings);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(app->window(Window::Settings), again);
}

TEST_F(OrvalinAppTest, PanelAtATrayIconStaysOnTheScreen) {
    completeOnboarding();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    app->togglePanelAt(QRect(screen.right() - 10, screen.bottom() - 10, 20, 20));
    const QRect panel = app->panel().geometry();
    EXPECT_TRUE(screen.contains(panel)) << panel.x() << "," << panel.y();
    EXPECT_LT(panel.bottom(), screen.bottom() - 10);  // opened upwards
    app->togglePanelAt(QRect(screen.right() - 10, screen.bottom() - 10, 20, 20));
    EXPECT_FALSE(app->panel().isVisible());
}

TEST_F(OrvalinAppTest, TrayIconIsCreatedAndTheProgramLivesWithoutWindows) {
    app->start();
    auto* tray = app->findChild<QSystemTrayIcon*>();
    ASSERT_NE(tray, nullptr);
    EXPECT_FALSE(tray->icon().isNull());
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
}

// Ctrl+Q ends the real event loop.
TEST(AppQuit, ControlQEndsTheEventLoop) {
    fakes::FakePlatform platform;
    MemoryPreferencesStore store;
    store.values[prefkey::kOnboardingCompleted] = true;
    TextExpansionManager manager(store, platform.engine);
    OrvalinApp app(manager, store);
    QTimer::singleShot(0, &app, [&] {
        app.showPanel();
        QTest::keyClick(&app.panel(), Qt::Key_Q, Qt::ControlModifier);
    });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(app.exec(), 0);
}

}  // namespace
}  // namespace orvalin::ui
