// The General tab against the engine on fake platform objects, inside the application object.
#include <QLabel>
#include <QScrollBar>

#include "../ui_test_support.h"
#include "settings_fixture.h"
#include "ui/panel/menu_bar_panel.h"
#include "ui/settings/how_it_works_row.h"
#include "ui/widgets/launch_at_login_switch.h"

namespace orvalin::ui {
namespace {

using fakes::FakePlatform;

class GeneralTabTest : public SettingsTest {
protected:
    GeneralTab* openGeneral(bool trusted = true) {
        if (!app) startApp(trusted);
        SettingsView* view = openSettings();
        return view ? generalOf(view) : nullptr;
    }
    std::optional<std::string> storedAppearance() const {
        auto it = store.values.find(prefkey::kAppearance);
        if (it == store.values.end()) return std::nullopt;
        return std::get<std::string>(it->second);
    }
};

TEST_F(GeneralTabTest, LaunchAtLoginFollowsTheManagerAndFlipsBackWhenRefused) {
    GeneralTab* tab = openGeneral();
    ASSERT_NE(tab, nullptr);
    LaunchAtLoginSwitch* toggle = launchSwitch(tab);
    EXPECT_FALSE(toggle->isChecked());

    // The login service refuses (its report is the engine's): the switch goes back to off.
    platform.loginItems.registerError = "refusé par le test";
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(manager->launchAtStartup());
    EXPECT_FALSE(toggle->isChecked());

    // Accepted, then turned off again from the keyboard.
    platform.loginItems.registerError.reset();
    platform.loginItems.current = LoginItemService::Status::NotRegistered;
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(manager->launchAtStartup());
    EXPECT_TRUE(toggle->isChecked());
    toggle->setFocus();
    QTest::keyClick(toggle, Qt::Key_Space);
    EXPECT_FALSE(manager->launchAtStartup());
    EXPECT_EQ(platform.loginItems.current, LoginItemService::Status::NotRegistered);
    EXPECT_FALSE(toggle->isChecked());

    // Another switch (the welcome window's) asks the manager; this one follows.
    manager->setLaunchAtStartup(true);
    EXPECT_TRUE(toggle->isChecked());
}

TEST_F(GeneralTabTest, ChosenAppearanceIsStoredAndReachesEveryWindowAndEveryPart) {
    completeOnboarding();
    startApp();
    app->showPanel();
    GeneralTab* tab = openGeneral();
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(picker(tab)->value(), QStringLiteral("system"));  // nothing stored yet
    EXPECT_FALSE(isDark(tab));

    QTest::mouseClick(segment(tab, QStringLiteral("Sombre")), Qt::LeftButton);
    EXPECT_EQ(storedAppearance(), "dark");
    EXPECT_EQ(picker(tab)->value(), QStringLiteral("dark"));
    QTRY_VERIFY_WITH_TIMEOUT(isDark(&app->panel()), 5000);
    // Every part of the open window, not only its frame.
    QTRY_VERIFY_WITH_TIMEOUT(isDark(tab->window()), 5000);
    auto* view = tab->window()->findChild<SettingsView*>();
    for (QWidget* part : {static_cast<QWidget*>(view), static_cast<QWidget*>(tab), view->widget(2),
                          static_cast<QWidget*>(segment(tab, QStringLiteral("Sombre")))}) {
        EXPECT_TRUE(isDark(part)) << part->metaObject()->className();
    }

    // A new window shows the stored choice.
    tab->window()->close();
    QTRY_COMPARE_WITH_TIMEOUT(app->window(Window::Settings), static_cast<QWidget*>(nullptr), 5000);
    tab = openGeneral();
    EXPECT_EQ(picker(tab)->value(), QStringLiteral("dark"));  // a restart comes up dark: end-to-end tests

    QTest::mouseClick(segment(openGeneral(), QStringLiteral("Clair")), Qt::LeftButton);
    EXPECT_EQ(storedAppearance(), "light");
    QTRY_VERIFY_WITH_TIMEOUT(!isDark(&app->panel()), 5000);
}

TEST_F(GeneralTabTest, AnUnknownStoredAppearanceChecksNoSegmentUntilOneIsChosenAndStored) {
    store.values[prefkey::kAppearance] = std::string("Dark");
    GeneralTab* tab = openGeneral();
    EXPECT_EQ(picker(tab)->value(), QString());
    for (Segment* s : picker(tab)->findChildren<Segment*>())
        EXPECT_FALSE(s->isChecked()) << s->text().toStdString();
    EXPECT_EQ(currentAppearance(), Appearance::System);

    QTest::mouseClick(segment(tab, QStringLiteral("Clair")), Qt::LeftButton);
    EXPECT_EQ(storedAppearance(), "light");
    EXPECT_EQ(currentAppearance(), Appearance::Light);
    EXPECT_TRUE(segment(tab, QStringLiteral("Clair"))->isChecked());
    EXPECT_FALSE(segment(tab, QStringLiteral("Système"))->isChecked());

    // One that cannot be stored: the picker shows the one in force.
    store.failWrites = true;
    QTest::mouseClick(segment(tab, QStringLiteral("Sombre")), Qt::LeftButton);
    EXPECT_EQ(storedAppearance(), "light");
    EXPECT_EQ(picker(tab)->value(), QStringLiteral("light"));
    EXPECT_EQ(currentAppearance(), Appearance::Light);
}

TEST_F(GeneralTabTest, PermissionRowComesAndGoesWithTheTrust) {
    EXPECT_FALSE(permissionRowShown(openGeneral(true)));
    app.reset();
    manager.reset();
    GeneralTab* tab = openGeneral(false);
    ASSERT_TRUE(permissionRowShown(tab));
    EXPECT_TRUE(permissionRow(tab)->isVisible());
    const int withRow = tab->widget()->sizeHint().height();

    // The button opens the help page and starts the fast poll; the grant removes the row at the
    // next tick, without reopening the window.
    QTest::mouseClick(permissionButton(tab), Qt::LeftButton);
    EXPECT_EQ(platform.urlOpener.opened, std::vector<std::string>{FakePlatform::kHelpUrl});
    platform.trust.trusted = true;
    platform.scheduler.advance(1s);
    EXPECT_FALSE(permissionRowShown(tab));
    // The page gets shorter by the row and the divider above it.
    QTRY_VERIFY_WITH_TIMEOUT(tab->widget()->sizeHint().height() < withRow - 30, 2000);

    // Withdrawn: back at the next background check.
    platform.trust.trusted = false;
    platform.scheduler.advance(30s);
    EXPECT_TRUE(permissionRowShown(tab));
    QTRY_COMPARE_WITH_TIMEOUT(tab->widget()->sizeHint().height(), withRow, 2000);
}

TEST_F(GeneralTabTest, HowItWorksRowsAreWholeEvenWithLargeTextAndTheTabScrolls) {
    GeneralTab* tab = openGeneral(false);
    const auto rows = testing::shownChildren<HowItWorksRow>(tab->widget());
    ASSERT_EQ(rows.size(), 3u);  // their titles are read through the accessibility bus

    // A much larger font: every description gets all the lines it needs, once the new heights
    // travel up the layouts over a few turns of the event loop.
    auto description = [](HowItWorksRow* row) { return row->findChild<QLabel*>("description"); };
    auto whole = [&](HowItWorksRow* row) {
        return description(row)->height() >= description(row)->heightForWidth(description(row)->width());
    };
    QFont big = description(rows[0])->font();
    big.setPixelSize(28);
    for (HowItWorksRow* row : rows) description(row)->setFont(big);
    (void)QTest::qWaitFor([&] { return std::all_of(rows.begin(), rows.end(), whole); }, 5000);
    for (HowItWorksRow* row : rows) {
        EXPECT_TRUE(whole(row)) << row->title().toStdString();
        EXPECT_GT(description(row)->height(), 3 * QFontMetrics(big).height()) << row->title().toStdString();
    }
    // Taller than the window: it scrolls, with no bar in sight, down to the last row's end.
    EXPECT_GT(tab->verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(tab->verticalScrollBar()->isVisible());
    tab->verticalScrollBar()->setValue(tab->verticalScrollBar()->maximum());
    const int lastEnd = rows[2]->mapTo(tab->viewport(), QPoint(0, rows[2]->height())).y();
    EXPECT_GE(lastEnd, 0);
    EXPECT_LE(lastEnd, tab->viewport()->height());
}

// Every control is reached with Tab and used from the keyboard (their names are read through
// the accessibility bus).
TEST_F(GeneralTabTest, EveryControlIsReachedWithTabAndUsedFromTheKeyboard) {
    GeneralTab* tab = openGeneral(false);
    ASSERT_TRUE(QTest::qWaitForWindowActive(tab->window(), 5000));
    const auto reached = reachedByTab(12);
    // The segments are one stop, as a group of radio buttons is: the chosen one.
    for (QWidget* control :
         std::initializer_list<QWidget*>{launchSwitch(tab), segment(tab, "Système"), permissionButton(tab)})
        EXPECT_EQ(reached.count(control), 1u) << control->objectName().toStdString();

    // Arrows move between segments, Enter and Space choose.
    Segment* system = segment(tab, QStringLiteral("Système"));
    system->setFocus();
    QTest::keyClick(system, Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), segment(tab, QStringLiteral("Clair")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(storedAppearance(), "light");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(storedAppearance(), "dark");

    permissionButton(tab)->setFocus();
    QTest::keyClick(permissionButton(tab), Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(platform.urlOpener.opened.size(), 1u, 2000);
}

}  // namespace
}  // namespace orvalin::ui
