// Shows the Formats tab on fake platform objects and saves it as PNGs, light and dark, with the
// pattern-code reference open in a second picture. Used by scripts/screenshot.
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <cstdio>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "support/save_picture.h"
#include "ui/settings/formats/format_card.h"
#include "ui/settings/formats/format_picker_field.h"
#include "ui/settings/formats/format_reference_view.h"
#include "ui/settings/formats/formats_tab.h"
#include "ui/widgets/appearance.h"

using namespace orvalin;

namespace {

// The tab with the popup drawn where it sits on the screen, on a canvas holding both.
QPixmap withPopup(ui::FormatsTab& tab, QWidget& popup) {
    const QRect tabRect(tab.mapToGlobal(QPoint(0, 0)), tab.size());
    const QRect both = tabRect.united(popup.geometry());
    const qreal ratio = tab.devicePixelRatioF();
    QPixmap shot(both.size() * ratio);
    shot.setDevicePixelRatio(ratio);
    shot.fill(Qt::transparent);
    QPainter painter(&shot);
    painter.drawPixmap(tabRect.topLeft() - both.topLeft(), tab.grab());
    painter.drawPixmap(popup.geometry().topLeft() - both.topLeft(), popup.grab());
    return shot;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/screenshots");
    QDir().mkpath(outDir);

    fakes::FakePlatform platform;
    platform.trust.trusted = true;
    MemoryPreferencesStore store;
    TextExpansionManager manager(store, platform.engine);
    // The built-in formats; Court and ISO share a combination, so both show the warning.
    auto formats = manager.shortcuts();
    const GlobalShortcut combination{2, modifier::kControl | modifier::kAlt, "⌃⌥D"};
    formats[0].globalShortcut = combination;
    formats[2].globalShortcut = combination;
    manager.setShortcuts(formats);

    int failures = 0;
    for (const char* appearance : {"light", "dark"}) {
        ui::applyAppearance(ui::appearanceFromSetting(appearance));
        ui::FormatsTab tab(manager);
        tab.setWindowTitle(QStringLiteral("Formats"));
        tab.resize(520, 560);
        tab.show();
        if (!QTest::qWaitForWindowExposed(&tab, 5000)) std::fprintf(stderr, "tab not exposed\n");
        QTest::qWait(200);
        // Scaled runs get their own files: formats-light-x2.png.
        const qreal scale = tab.devicePixelRatioF();
        const QString suffix = scale == 1.0 ? QString() : QStringLiteral("-x%1").arg(scale);
        const QString name =
            QStringLiteral("%1/formats-%2%3.png").arg(outDir, QLatin1String(appearance), suffix);
        if (!savePicture(tab.grab(), name)) ++failures;

        // Further down, the last card with its reference open.
        tab.ensureWidgetVisible(tab.cards().back(), 0, 0);
        ui::FormatPickerField* field = tab.cards().back()->patternField();
        field->setReferenceShown(true);
        QTest::qWait(300);
        if (auto* popup = field->referencePopup()) {
            const QString ref = QStringLiteral("%1/formats-reference-%2%3.png")
                                    .arg(outDir, QLatin1String(appearance), suffix);
            if (!savePicture(withPopup(tab, *popup), ref)) ++failures;
        }
        field->setReferenceShown(false);
    }
    return failures == 0 ? 0 : 1;
}
