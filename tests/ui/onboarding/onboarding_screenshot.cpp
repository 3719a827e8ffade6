// Shows the onboarding's pages on fake platform objects and saves them as PNGs, light and dark,
// the permission page untrusted and trusted, the ready page also with a long list of formats.
// Used by scripts/screenshot; a name suffix tells scaled runs (QT_SCALE_FACTOR) apart.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>
#include <cstdio>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "support/save_picture.h"
#include "ui/onboarding/onboarding_view.h"
#include "ui/widgets/appearance.h"

using namespace orvalin;

namespace {

struct Shot {
    const char* name;
    int step;
    bool trusted;
    bool manyFormats;
    bool midSlide = false;  // halfway through the change to `step`
};

std::vector<Shortcut> manyFormats(std::vector<Shortcut> formats) {
    formats.push_back(
        Shortcut{Uuid::generate(), "Complet", "EEEE d MMMM yyyy 'à' HH:mm", "dtf ", std::nullopt});
    formats.push_back(Shortcut{Uuid::generate(), "Semaine", "'semaine' w", "sem ", std::nullopt});
    formats.push_back(Shortcut{Uuid::generate(), "Sans", "dd.MM", "", std::nullopt});
    formats.push_back(Shortcut{Uuid::generate(), "Mois", "MMMM yyyy", "mois ", std::nullopt});
    return formats;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/screenshots");
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(outDir);

    const Shot shots[] = {{"welcome", 0, false, false},           {"permission", 1, false, false},
                          {"permission-granted", 1, true, false}, {"ready", 2, true, false},
                          {"ready-many", 2, true, true},          {"sliding", 1, false, false, true}};
    int failures = 0;
    for (const char* appearance : {"light", "dark"}) {
        ui::applyAppearance(ui::appearanceFromSetting(appearance));
        for (const Shot& shot : shots) {
            fakes::FakePlatform platform;
            MemoryPreferencesStore store;
            TextExpansionManager manager(store, platform.engine);
            if (shot.manyFormats) manager.setShortcuts(manyFormats(manager.shortcuts()));
            ui::OnboardingOptions options;
            options.animated = shot.midSlide;
            ui::OnboardingView view(manager, store, options);
            view.setWindowTitle(QStringLiteral("Bienvenue dans Orvalin"));
            view.show();
            if (!QTest::qWaitForWindowExposed(&view, 5000)) std::fprintf(stderr, "window not exposed\n");
            for (int i = 0; i < shot.step; ++i) view.advanceStep();
            if (shot.midSlide) {
                QTest::qWait(150);
            } else {
                // Granted while the page is shown, as a user sees it switch.
                platform.trust.trusted = shot.trusted;
                manager.checkAccessibilityPermission();
                QTest::qWait(100);
            }
            if (!savePicture(
                    view.grab(),
                    outDir + QStringLiteral("/onboarding-%1-%2%3.png").arg(shot.name, appearance, suffix)))
                ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
