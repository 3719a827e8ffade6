// One window of the program on fake platform objects, opened by the application object, for the
// screen-reader tests and for looking at it by hand. Says "ready" once shown, which address a link
// opened and when the login item changed, so a test can tell what driving the window did.
//   orvalin_ui_host PREFERENCES_FILE        the settings window, stored in that JSON file (untrusted,
//                                           so the permission row is there too)
//   orvalin_ui_host --onboarding [trusted]  the onboarding until finished or closed; says at the end
//                                           whether it was completed
// Its texts are in the language the program would choose from the environment.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/interface_translation.h"
#include "core/json_file_preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "support/memory_preferences_store.h"
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PREFERENCES_FILE | --onboarding [trusted]\n", argv[0]);
        return 2;
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvalin_ui_host"));
    installInterfaceTranslation(interfaceLanguage(MessageLocale::fromEnvironment()));
    const bool onboarding = QByteArray(argv[1]) == "--onboarding";
    fakes::FakePlatform platform;
    platform.trust.trusted = onboarding && argc > 2 && QByteArray(argv[2]) == "trusted";
    std::unique_ptr<PreferencesStore> store;
    if (onboarding)
        store = std::make_unique<MemoryPreferencesStore>();
    else
        store = std::make_unique<JsonFilePreferencesStore>(argv[1]);
    TextExpansionManager manager(*store, platform.engine);
    manager.subscribe([&manager](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::LaunchAtStartup)
            say("launchAtStartup %s\n", manager.launchAtStartup() ? "1" : "0");
    });

    PrintingUrlOpener urls;
    ui::OrvalinApp app(manager, *store);
    app.setWindowContentFactory(ui::Window::Settings, [&urls](ui::OrvalinApp& owner) {
        return new ui::SettingsView(owner.manager(), owner.store(), urls);
    });
    app.setWindowContentFactory(ui::Window::Onboarding, [](ui::OrvalinApp& owner) -> QWidget* {
        ui::OnboardingOptions options;
        options.dismiss = [] { QCoreApplication::quit(); };
        return new ui::OnboardingView(owner.manager(), owner.store(), options);
    });
    app.refreshAppearance();
    app.openWindow(onboarding ? ui::Window::Onboarding : ui::Window::Settings);
    QObject::connect(&qapp, &QGuiApplication::lastWindowClosed, &qapp, &QCoreApplication::quit);
    QTimer::singleShot(0, [] { say("ready\n"); });
    const int status = QApplication::exec();
    if (onboarding)
        say("completed %s\n",
            store->boolean(prefkey::kOnboardingCompleted).value_or(false) ? "true" : "false");
    return status;
}
