#pragma once

#include <memory>

#include "support/tray_fixture.h"
#include "ui/onboarding/onboarding_view.h"
#include "ui/orvalin_app.h"
#include "ui/settings/settings_view.h"

namespace orvalin::ui {

// The application object on fake platform objects, with the windows' real content as the program
// installs it: the settings (links through the fake opener) and the onboarding (without slides).
class AppTest : public TrayTest {
protected:
    OrvalinApp& startApp(bool trusted = true) {
        if (!manager) startManager(trusted);
        app = std::make_unique<OrvalinApp>(*manager, store);
        app->setPanelCalendar(&grid);
        app->setQuitHandler([] {});
        app->setWindowContentFactory(Window::Settings, [this](OrvalinApp& owner) {
            return new SettingsView(owner.manager(), owner.store(), platform.urlOpener, about);
        });
        app->setWindowContentFactory(Window::Onboarding, [this](OrvalinApp& owner) -> QWidget* {
            OnboardingOptions options;
            options.animated = false;
            return new OnboardingView(owner.manager(), owner.store(), options);
        });
        app->refreshAppearance();  // as the program's start does
        return *app;
    }
    // Opens (or brings forward) a window; its content, or null.
    template <class Content>
    Content* open(Window which) {
        QWidget* window = app->openWindow(which);
        window->activateWindow();
        return window->findChild<Content*>();
    }

    AboutInfo about{QStringLiteral("1.2"), QStringLiteral("37"), QStringLiteral("https://exemple.test")};
    std::unique_ptr<OrvalinApp> app;
};

}  // namespace orvalin::ui
