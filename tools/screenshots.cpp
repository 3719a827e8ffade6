// Shows each window on fake platform objects and saves it as PNGs, light and dark, so that its look
// can be checked without a desktop session: the tray panel (also with the keyboard's focus in the
// calendar), the onboarding's pages (the permission page untrusted and trusted, the ready page
// also with a long list of formats, one page halfway through its slide), the settings window's
// General and About tabs, and the Formats tab with its pattern-code reference open and with the
// languages a search finds. Used by scripts/screenshot; scaled runs (QT_SCALE_FACTOR) get their
// own files: panel-light-x2.png.
//   orvalin_screenshots OUT_DIR [trusted]
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QCursor>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <cstdio>

#include "app/interface_translation.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "support/memory_preferences_store.h"
#include "ui/onboarding/onboarding_view.h"
#include "ui/orvalin_app.h"
#include "ui/panel/menu_bar_panel.h"
#include "ui/settings/formats/format_card.h"
#include "ui/settings/formats/format_picker_field.h"
#include "ui/settings/formats/format_reference_view.h"
#include "ui/settings/formats/formats_tab.h"
#include "ui/settings/formats/locale_picker.h"
#include "ui/settings/settings_view.h"
#include "ui/widgets/appearance.h"

using namespace orvalin;

namespace {

const char* const kAppearances[] = {"light", "dark"};
const GlobalShortcut kCtrlAltD{2, modifier::kControl | modifier::kAlt, "⌃⌥D"};

// Writes the pictures and says where each went (scripts/screenshot lists them).
struct Pictures {
    QString dir;
    QString suffix;  // "-x2" on a screen scaled twice
    int failures = 0;

    void save(const QPixmap& picture, const QString& name) {
        const QString file = dir + QLatin1Char('/') + name + suffix + QStringLiteral(".png");
        if (!picture.save(file)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(file));
            ++failures;
            return;
        }
        std::printf("%s (%dx%d)\n", qPrintable(file), picture.width(), picture.height());
    }
};

// The engine on fake platform objects and a memory store; `onboarded` skips the welcome window.
struct FakeDesktop {
    explicit FakeDesktop(bool trusted, bool onboarded = true) {
        platform.trust.trusted = trusted;
        if (onboarded) store.values[prefkey::kOnboardingCompleted] = true;
    }
    fakes::FakePlatform platform;
    MemoryPreferencesStore store;
    TextExpansionManager manager{store, platform.engine};
};

void waitExposed(QWidget* window) {
    if (!QTest::qWaitForWindowExposed(window, 5000)) std::fprintf(stderr, "window not exposed\n");
}

// What the X server shows of the panel's own window; scaled runs render the widget instead, as
// screen grabs do not follow the scale.
QPixmap panelPicture(QWidget& panel) {
    QPixmap shot;
    if (QScreen* screen = panel.screen(); screen && panel.windowHandle() && panel.devicePixelRatioF() == 1.0)
        shot = screen->grabWindow(panel.windowHandle()->winId());
    return shot.isNull() ? panel.grab() : shot;
}

// The built-in formats, one of them with a key combination, as a user would have them.
void panelPictures(Pictures& pictures, bool trusted) {
    FakeDesktop desktop(trusted);
    auto& [platform, store, manager] = desktop;
    auto formats = manager.shortcuts();
    formats.front().globalShortcut = kCtrlAltD;
    manager.setShortcuts(formats);
    ui::OrvalinApp app(manager, store);
    QCursor::setPos(0, 0);  // out of the way, so that no row or day shows its hover disc
    for (const char* appearance : kAppearances) {
        store.values[prefkey::kAppearance] = std::string(appearance);
        app.refreshAppearance();
        app.showPanel();
        ui::MenuBarPanel& panel = app.panel();
        waitExposed(&panel);
        QTest::qWait(400);
        pictures.save(panelPicture(panel), QStringLiteral("panel-%1").arg(QLatin1String(appearance)));
        // The keyboard's focus: down to the first day of the calendar, then one day on.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                            Qt::Key_Down, Qt::Key_Right})
            QTest::keyClick(panel.windowHandle(), key);
        QTest::qWait(100);
        pictures.save(panelPicture(panel),
                      QStringLiteral("panel-%1-keyboard").arg(QLatin1String(appearance)));
        panel.hide();
        // A date that waited for a text field in vain, as the IBus route reports it.
        manager.insertionDropped("aucun champ de saisie n'a reçu le focus à temps");
        app.showPanel();
        QTest::qWait(200);
        pictures.save(panelPicture(panel), QStringLiteral("panel-%1-dropped").arg(QLatin1String(appearance)));
        manager.dismissInsertionNotice();
        panel.hide();
    }
}

std::vector<Shortcut> manyFormats(std::vector<Shortcut> formats) {
    formats.push_back(
        Shortcut{Uuid::generate(), "Complet", "EEEE d MMMM yyyy 'à' HH:mm", "dtf ", std::nullopt});
    formats.push_back(Shortcut{Uuid::generate(), "Semaine", "'semaine' w", "sem ", std::nullopt});
    formats.push_back(Shortcut{Uuid::generate(), "Sans", "dd.MM", "", std::nullopt});
    formats.push_back(Shortcut{Uuid::generate(), "Mois", "MMMM yyyy", "mois ", std::nullopt});
    return formats;
}

void onboardingPictures(Pictures& pictures) {
    struct Shot {
        const char* name;
        int step;
        bool trusted;
        bool manyFormats;
        bool midSlide = false;  // halfway through the change to `step`
    };
    const Shot shots[] = {{"welcome", 0, false, false},           {"permission", 1, false, false},
                          {"permission-granted", 1, true, false}, {"ready", 2, true, false},
                          {"ready-many", 2, true, true},          {"sliding", 1, false, false, true}};
    for (const char* appearance : kAppearances) {
        ui::applyAppearance(ui::appearanceFromSetting(appearance));
        for (const Shot& shot : shots) {
            FakeDesktop desktop(false, false);
            auto& [platform, store, manager] = desktop;
            if (shot.manyFormats) manager.setShortcuts(manyFormats(manager.shortcuts()));
            ui::OnboardingOptions options;
            options.animated = shot.midSlide;
            ui::OnboardingView view(manager, store, options);
            view.setWindowTitle(QStringLiteral("Bienvenue dans Orvalin"));
            view.show();
            waitExposed(&view);
            for (int i = 0; i < shot.step; ++i) view.advanceStep();
            if (shot.midSlide) {
                QTest::qWait(150);
            } else {
                // Granted while the page is shown, as a user sees it switch.
                platform.trust.trusted = shot.trusted;
                manager.checkAccessibilityPermission();
                QTest::qWait(100);
            }
            pictures.save(view.grab(), QStringLiteral("onboarding-%1-%2").arg(shot.name, appearance));
        }
    }
}

void settingsPictures(Pictures& pictures, bool trusted) {
    FakeDesktop desktop(trusted);
    auto& [platform, store, manager] = desktop;
    ui::OrvalinApp app(manager, store);
    app.setWindowContentFactory(ui::Window::Settings, [&platform](ui::OrvalinApp& owner) {
        return new ui::SettingsView(owner.manager(), owner.store(), platform.urlOpener);
    });
    for (const char* appearance : kAppearances) {
        store.values[prefkey::kAppearance] = std::string(appearance);
        app.refreshAppearance();
        QWidget* window = app.openWindow(ui::Window::Settings);
        auto* view = window->findChild<ui::SettingsView*>();
        waitExposed(window);
        for (const auto& [tab, page] : {std::pair{0, "general"}, std::pair{2, "about"}}) {
            view->setCurrentIndex(tab);
            QTest::qWait(300);
            pictures.save(window->grab(), QStringLiteral("settings-%1-%2").arg(page, appearance));
        }
        window->close();
        QTest::qWait(100);
    }
}

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

// Court and ISO share a combination, so both show the warning; Court is for tomorrow, Long for a
// week later in English.
void formatsPictures(Pictures& pictures) {
    FakeDesktop desktop(true, false);
    auto& [platform, store, manager] = desktop;
    auto formats = manager.shortcuts();
    formats[0].globalShortcut = kCtrlAltD;
    formats[2].globalShortcut = kCtrlAltD;
    formats[0].dayOffset = 1;
    formats[1].dayOffset = 7;
    formats[1].locale = "en-US";
    manager.setShortcuts(formats);
    for (const char* appearance : kAppearances) {
        ui::applyAppearance(ui::appearanceFromSetting(appearance));
        ui::FormatsTab tab(manager);
        tab.setWindowTitle(QStringLiteral("Formats"));
        tab.resize(520, 560);
        tab.show();
        waitExposed(&tab);
        QTest::qWait(200);
        pictures.save(tab.grab(), QStringLiteral("formats-%1").arg(QLatin1String(appearance)));
        // Further down, the last card with its reference open.
        tab.ensureWidgetVisible(tab.cards().back(), 0, 0);
        ui::FormatPickerField* field = tab.cards().back()->findChild<ui::FormatPickerField*>("patternField");
        field->setReferenceShown(true);
        QTest::qWait(300);
        if (auto* popup = field->findChild<ui::FormatReferencePopup*>())
            pictures.save(withPopup(tab, *popup),
                          QStringLiteral("formats-reference-%1").arg(QLatin1String(appearance)));
        field->setReferenceShown(false);
        // The languages found by a search in the second card.
        QComboBox* language = tab.cards()[1]->findChild<QComboBox*>("languageField");
        tab.ensureWidgetVisible(language, 0, 40);
        language->setFocus();
        language->lineEdit()->selectAll();
        QTest::keyClicks(language, QStringLiteral("deutsch"));
        QTest::qWait(300);
        if (QWidget* found = language->completer()->popup(); found->isVisible()) {
            pictures.save(withPopup(tab, *found),
                          QStringLiteral("formats-language-%1").arg(QLatin1String(appearance)));
            found->hide();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    // The windows in the language the program would choose (scripts/screenshot sets LANG).
    installInterfaceTranslation(interfaceLanguage(MessageLocale::fromEnvironment()));
    const QStringList args = QCoreApplication::arguments();
    const qreal scale = qapp.devicePixelRatio();
    Pictures pictures{args.value(1, QStringLiteral("build/screenshots")),
                      scale == 1.0 ? QString() : QStringLiteral("-x%1").arg(scale)};
    QDir().mkpath(pictures.dir);
    const bool trusted = args.contains(QStringLiteral("trusted"));
    panelPictures(pictures, trusted);
    onboardingPictures(pictures);
    settingsPictures(pictures, trusted);
    formatsPictures(pictures);
    return pictures.failures == 0 ? 0 : 1;
}
