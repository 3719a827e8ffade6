#pragma once

#include <QAbstractButton>
#include <QTest>
#include <memory>

#include "support/tray_fixture.h"
#include "ui/orvalin_app.h"
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

    static Segment* segment(GeneralTab* tab, const QString& text) {
        for (Segment* s : tab->appearancePicker()->segments()) {
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
