#pragma once

#include <QAbstractButton>
#include <QTest>
#include <memory>

#include "support/tray_fixture.h"
#include "support/widget_lookup.h"
#include "ui/orvalin_app.h"
#include "ui/settings/about_tab.h"
#include "ui/settings/general_tab.h"
#include "ui/settings/segmented_control.h"
#include "ui/settings/settings_view.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/launch_at_login_switch.h"

namespace orvalin::ui {

// The application object on fake platform objects, with the settings window's real content, as
// the program installs it.
class SettingsTest : public TrayTest {
protected:
    void TearDown() override {
        app.reset();
        applyAppearance(Appearance::System);
    }

    OrvalinApp& startApp(bool trusted = true) {
        if (!manager) startManager(trusted);
        app = std::make_unique<OrvalinApp>(*manager, store);
        app->setPanelClock(clock, &grid);
        app->setQuitHandler([] {});
        app->setWindowContentFactory("preferences", [this](OrvalinApp& owner) {
            return new SettingsView(owner.manager(), owner.store(), platform.urlOpener, about);
        });
        app->refreshAppearance();  // as the program's start does
        return *app;
    }

    // Opens (or brings forward) the settings window and returns its content.
    SettingsView* openSettings() {
        QWidget* window = app->openWindow("preferences");
        if (!window) return nullptr;
        window->activateWindow();
        return window->findChild<SettingsView*>();
    }

    // The parts of the pages, found by their names as a user or a screen reader finds them.
    static GeneralTab* generalOf(const SettingsView* view) { return view->findChild<GeneralTab*>(); }
    static AboutTab* aboutOf(const SettingsView* view) { return view->findChild<AboutTab*>(); }
    static LaunchAtLoginSwitch* launchSwitch(const GeneralTab* tab) {
        return tab->findChild<LaunchAtLoginSwitch*>("launchAtLogin");
    }
    static SegmentedControl* picker(const GeneralTab* tab) {
        return tab->findChild<SegmentedControl*>("appearance");
    }
    static QWidget* permissionRow(const GeneralTab* tab) { return tab->findChild<QWidget*>("permissionRow"); }
    static QAbstractButton* permissionButton(const GeneralTab* tab) {
        return tab->findChild<QAbstractButton*>("permissionButton");
    }
    static bool permissionRowShown(const GeneralTab* tab) { return !permissionRow(tab)->isHidden(); }

    static Segment* segment(GeneralTab* tab, const QString& text) {
        for (Segment* s : picker(tab)->segments()) {
            if (s->text() == text) return s;
        }
        return nullptr;
    }

    static bool isDark(const QWidget* widget) {
        return widget->palette().color(QPalette::Window).lightness() < 128;
    }

    AboutInfo about{QStringLiteral("1.2"), QStringLiteral("37"), QStringLiteral("https://exemple.test")};
    std::unique_ptr<OrvalinApp> app;
};

}  // namespace orvalin::ui
