// Shows the settings window on fake platform objects and saves its General and About tabs as
// PNGs, once per appearance, so that their look can be checked without a desktop session. Used by
// scripts/screenshot; run it again under QT_SCALE_FACTOR=2 with a suffix for the closer look.
//   orvalin_settings_screenshot OUT_DIR [SUFFIX] [trusted]
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>
#include <cstdio>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "support/save_picture.h"
#include "ui/orvalin_app.h"
#include "ui/settings/settings_view.h"

using namespace orvalin;

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString outDir = args.value(1, QStringLiteral("build/screenshots"));
    const QString suffix = args.value(2);
    QDir().mkpath(outDir);

    fakes::FakePlatform platform;
    platform.trust.trusted = args.contains(QStringLiteral("trusted"));
    MemoryPreferencesStore store;
    store.values[prefkey::kOnboardingCompleted] = true;
    TextExpansionManager manager(store, platform.engine);

    ui::OrvalinApp app(manager, store);
    app.setWindowContentFactory(QStringLiteral("preferences"), [&platform](ui::OrvalinApp& owner) {
        return new ui::SettingsView(owner.manager(), owner.store(), platform.urlOpener);
    });
    int failures = 0;
    for (const char* appearance : {"light", "dark"}) {
        store.values[prefkey::kAppearance] = std::string(appearance);
        app.refreshAppearance();
        QWidget* window = app.openWindow(QStringLiteral("preferences"));
        auto* view = window->findChild<ui::SettingsView*>();
        if (!QTest::qWaitForWindowExposed(window, 5000)) std::fprintf(stderr, "window not exposed\n");
        for (int tab : {0, 2}) {
            view->setCurrentIndex(tab);
            QTest::qWait(300);
            const QString page = tab == 0 ? QStringLiteral("general") : QStringLiteral("about");
            if (!savePicture(window->grab(), outDir + QStringLiteral("/settings-%1-%2%3.png")
                                                          .arg(page, QLatin1String(appearance), suffix)))
                ++failures;
        }
        window->close();
        QTest::qWait(100);
    }
    return failures == 0 ? 0 : 1;
}
