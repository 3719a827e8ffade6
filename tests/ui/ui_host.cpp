// A window of the program on fake platform objects, for the accessibility tests and for looking at
// it by hand. Says "ready" once shown.
//   orvalin_ui_host PREFERENCES_FILE        the settings window, its settings stored in that JSON
//       file; says which address a link opened and when the login item changed, so a test can tell
//       what driving the window did (untrusted, so the permission row is there too)
//   orvalin_ui_host --onboarding [trusted]  the onboarding until finished or closed; says at the end
//       whether it was completed
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "ui/onboarding/onboarding_view.h"
#include "ui/orvalin_app.h"
#include "ui/settings/settings_view.h"

using namespace orvalin;

namespace {

void say(const char* format, const char* value = "") {
    std::printf(format, value);
    std::fflush(stdout);
}

class PrintingUrlOpener : public UrlOpener {
public:
    bool open(const std::string& url) override {
        say("opened %s\n", url.c_str());
        return true;
    }
};

int runOnboarding(fakes::FakePlatform& platform, bool trusted) {
    platform.trust.trusted = trusted;
    MemoryPreferencesStore store;
    TextExpansionManager manager(store, platform.engine);
    ui::OnboardingOptions options;
    options.dismiss = [] { QCoreApplication::quit(); };
    ui::OnboardingView view(manager, store, options);
    view.setWindowTitle(QStringLiteral("Bienvenue dans Orvalin"));
    view.show();
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, qApp, &QCoreApplication::quit);
    const int status = QApplication::exec();
    say("completed %s\n", store.boolean(prefkey::kOnboardingCompleted).value_or(false) ? "true" : "false");
    return status;
}

int runSettings(fakes::FakePlatform& platform, const char* preferences) {
    platform.trust.trusted = false;
    JsonFilePreferencesStore store(preferences);
    TextExpansionManager manager(store, platform.engine);
    PrintingUrlOpener urls;
    manager.subscribe([&manager](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::LaunchAtStartup)
            say("launchAtStartup %s\n", manager.launchAtStartup() ? "1" : "0");
    });
    ui::OrvalinApp app(manager, store);
    app.setWindowContentFactory(QStringLiteral("preferences"), [&urls](ui::OrvalinApp& owner) {
        return new ui::SettingsView(owner.manager(), owner.store(), urls);
    });
    app.refreshAppearance();
    app.openWindow(QStringLiteral("preferences"));
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PREFERENCES_FILE | --onboarding [trusted]\n", argv[0]);
        return 2;
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvalin_ui_host"));
    fakes::FakePlatform platform;
    QTimer::singleShot(0, [] { say("ready\n"); });
    if (QByteArray(argv[1]) == "--onboarding")
        return runOnboarding(platform, argc > 2 && QByteArray(argv[2]) == "trusted");
    return runSettings(platform, argv[1]);
}
