// Shows the tray panel on fake platform objects and saves it as a PNG, once per appearance, so
// that its look can be checked without a desktop session. Used by scripts/screenshot.
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <cstdio>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "support/save_picture.h"
#include "ui/orvalin_app.h"
#include "ui/panel/menu_bar_panel.h"

using namespace orvalin;

namespace {

// What the X server shows of the panel's own window; scaled runs (QT_SCALE_FACTOR, for a closer
// look) render the widget instead, as screen grabs do not follow the scale.
bool save(QWidget& panel, const QString& file) {
    QPixmap shot;
    if (QScreen* screen = panel.screen(); screen && panel.windowHandle() && panel.devicePixelRatioF() == 1.0)
        shot = screen->grabWindow(panel.windowHandle()->winId());
    if (shot.isNull()) shot = panel.grab();
    return savePicture(shot, file);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/screenshots");
    QDir().mkpath(outDir);

    fakes::FakePlatform platform;
    platform.trust.trusted = argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("trusted");
    MemoryPreferencesStore store;
    store.values[prefkey::kOnboardingCompleted] = true;
    TextExpansionManager manager(store, platform.engine);
    // The built-in formats, one of them with a key combination, as a user would have them.
    auto formats = manager.shortcuts();
    if (!formats.empty()) {
        formats.front().globalShortcut = GlobalShortcut{2, modifier::kControl | modifier::kAlt, "⌃⌥D"};
    }
    manager.setShortcuts(formats);

    ui::OrvalinApp app(manager, store);
    // The pointer out of the way, so that no row or day shows its hover disc.
    QCursor::setPos(0, 0);
    int failures = 0;
    for (const char* appearance : {"light", "dark"}) {
        store.values[prefkey::kAppearance] = std::string(appearance);
        app.refreshAppearance();
        app.showPanel();
        ui::MenuBarPanel& panel = app.panel();
        if (!QTest::qWaitForWindowExposed(&panel, 5000)) std::fprintf(stderr, "panel not exposed\n");
        QTest::qWait(400);
        // Scaled runs get their own files: panel-light-x2.png.
        const qreal scale = panel.devicePixelRatioF();
        const QString suffix = scale == 1.0 ? QString() : QStringLiteral("-x%1").arg(scale);
        if (!save(panel, outDir + QStringLiteral("/panel-%1%2.png").arg(QLatin1String(appearance), suffix)))
            ++failures;
        // The keyboard's focus: down to the first day of the calendar, then one day on.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                            Qt::Key_Down, Qt::Key_Right})
            QTest::keyClick(panel.windowHandle(), key);
        QTest::qWait(100);
        if (!save(panel,
                  outDir + QStringLiteral("/panel-%1-keyboard%2.png").arg(QLatin1String(appearance), suffix)))
            ++failures;
        panel.hide();
    }
    return failures == 0 ? 0 : 1;
}
