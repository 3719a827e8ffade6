// The settings window on fake platform objects, for the accessibility test: it stores its
// settings in the JSON file named on the command line and says on its standard output which
// address a link opened and when the login item changed, so the test can tell what driving the
// window through the bus did.
//   settings_atspi_host PREFERENCES_FILE
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "ui/orvalin_app.h"
#include "ui/settings/settings_view.h"

using namespace orvalin;

namespace {

class PrintingUrlOpener : public UrlOpener {
public:
    bool open(const std::string& url) override {
        std::printf("opened %s\n", url.c_str());
        std::fflush(stdout);
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PREFERENCES_FILE\n", argv[0]);
        return 2;
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("settings_atspi_host"));
    fakes::FakePlatform platform;
    platform.trust.trusted = false;  // so the permission row is there too
    JsonFilePreferencesStore store(argv[1]);
    TextExpansionManager manager(store, platform.engine);
    PrintingUrlOpener urls;
    manager.subscribe([&manager](TextExpansionManager::Change change) {
        if (change != TextExpansionManager::Change::LaunchAtStartup) return;
        std::printf("launchAtStartup %d\n", manager.launchAtStartup() ? 1 : 0);
        std::fflush(stdout);
    });

    ui::OrvalinApp app(manager, store);
    app.setWindowContentFactory(QStringLiteral("preferences"), [&urls](ui::OrvalinApp& owner) {
        return new ui::SettingsView(owner.manager(), owner.store(), urls);
    });
    app.refreshAppearance();
    app.openWindow(QStringLiteral("preferences"));
    QTimer::singleShot(0, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
    return QApplication::exec();
}
