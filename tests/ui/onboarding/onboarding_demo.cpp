// Shows the onboarding window on fake platform objects until it is finished or closed, for
// looking at it by hand and for the accessibility check. "trusted" as first argument grants the
// permission. Says "ready" when shown and, at the end, whether the onboarding was completed.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "ui/onboarding/onboarding_view.h"

using namespace orvalin;

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    fakes::FakePlatform platform;
    platform.trust.trusted = argc > 1 && QString::fromLocal8Bit(argv[1]) == QLatin1String("trusted");
    MemoryPreferencesStore store;
    TextExpansionManager manager(store, platform.engine);

    ui::OnboardingOptions options;
    options.dismiss = [] { QCoreApplication::quit(); };
    ui::OnboardingView view(manager, store, options);
    view.setWindowTitle(QStringLiteral("Bienvenue dans Orvalin"));
    view.show();
    QTimer::singleShot(0, [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
    QObject::connect(&qapp, &QGuiApplication::lastWindowClosed, &qapp, &QCoreApplication::quit);
    const int status = QApplication::exec();
    std::printf("completed %s\n",
                store.boolean(prefkey::kOnboardingCompleted).value_or(false) ? "true" : "false");
    return status;
}
