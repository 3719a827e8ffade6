#include <QSystemTrayIcon>
#include <QTimer>

#include "support/tray_fixture.h"
#include "ui/widgets/appearance.h"
#include "ui/panel/menu_bar_panel.h"
#include "ui/orvalin_app.h"

namespace orvalin::ui {
namespace {

class AppTest : public TrayTest {
protected:
    void SetUp() override {
        startManager();
        app = std::make_unique<OrvalinApp>(*manager, store);
        app->setPanelClock(clock, &grid);
        app->setQuitHandler([] {});
    }
    void TearDown() override {
        app.reset();
        applyAppearance(Appearance::System);
    }
    bool isDark(const QWidget* widget) const {
        return widget->palette().color(QPalette::Window).lightness() < 128;
    }

    std::unique_ptr<OrvalinApp> app;
};

// Their titles and sizes are checked on the real program (the end-to-end and AT-SPI tests).
TEST_F(AppTest, WindowsAreKeptOneEachWithAFixedSize) {
    QWidget* preferences = app->openWindow("preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(preferences->minimumSize(), preferences->maximumSize());
    EXPECT_EQ(app->openWindow("preferences"), preferences);
    EXPECT_TRUE(preferences->isVisible());

    QWidget* onboarding = app->openWindow("onboarding");
    ASSERT_NE(onboarding, nullptr);
    EXPECT_NE(onboarding, preferences);
    EXPECT_EQ(app->openWindow("about"), nullptr);

    // Closing leaves no window behind; asking again makes a fresh one.
    preferences->close();
    QTRY_COMPARE_WITH_TIMEOUT(app->window("preferences"), static_cast<QWidget*>(nullptr), 5000);
    QWidget* again = app->openWindow("preferences");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(app->window("preferences"), again);
}

TEST_F(AppTest, WindowContentComesFromTheRegisteredFactory) {
    int built = 0;
    app->setWindowContentFactory("preferences", [&](OrvalinApp& owner) {
        EXPECT_EQ(&owner.manager(), manager.get());
        ++built;
        auto* content = new QWidget;
        content->setObjectName("settingsContent");
        return content;
    });
    QWidget* window = app->openWindow("preferences");
    app->openWindow("preferences");
    EXPECT_EQ(built, 1);
    EXPECT_NE(window->findChild<QWidget*>("settingsContent"), nullptr);
}

TEST_F(AppTest, ShowPanelCentresItOnTheScreen) {
    completeOnboarding();
    app->showPanel();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect panel = app->panel().geometry();
    EXPECT_LE(std::abs(panel.center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(panel.center().y() - screen.center().y()), 1);
}

TEST_F(AppTest, PanelAtATrayIconStaysOnTheScreen) {
    completeOnboarding();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    app->togglePanelAt(QRect(screen.right() - 10, screen.bottom() - 10, 20, 20));
    const QRect panel = app->panel().geometry();
    EXPECT_TRUE(screen.contains(panel)) << panel.x() << "," << panel.y();
    EXPECT_LT(panel.bottom(), screen.bottom() - 10);  // opened upwards
    app->togglePanelAt(QRect(screen.right() - 10, screen.bottom() - 10, 20, 20));
    EXPECT_FALSE(app->panel().isVisible());
}

TEST_F(AppTest, AppearanceSettingIsReadAndOnlyExactNamesCount) {
    store.values[prefkey::kAppearance] = std::string("dark");
    app->refreshAppearance();
    EXPECT_EQ(currentAppearance(), Appearance::Dark);
    EXPECT_TRUE(isDark(&app->panel()));

    store.values[prefkey::kAppearance] = std::string("Dark");
    app->refreshAppearance();
    EXPECT_EQ(currentAppearance(), Appearance::System);

    store.values[prefkey::kAppearance] = std::string("light");
    app->refreshAppearance();
    EXPECT_EQ(currentAppearance(), Appearance::Light);
    EXPECT_FALSE(isDark(&app->panel()));

    store.values.erase(prefkey::kAppearance);
    app->refreshAppearance();
    EXPECT_EQ(currentAppearance(), Appearance::System);
}

TEST_F(AppTest, TrayIconIsCreatedAndTheProgramLivesWithoutWindows) {
    app->start();
    ASSERT_NE(app->trayIcon(), nullptr);
    EXPECT_FALSE(app->trayIcon()->icon().isNull());
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
