#include "ui/settings/settings_view.h"

#include "ui/settings/formats/formats_tab.h"

#include <QEvent>
#include <QKeySequence>
#include <QShortcut>
#include <array>

#include "ui/settings/about_tab.h"
#include "ui/settings/general_tab.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

SettingsView::SettingsView(TextExpansionManager& manager, PreferencesStore& store, UrlOpener& urls,
                           AboutInfo about, QWidget* parent)
    : QTabWidget(parent),
      manager_(manager),
      general_(new GeneralTab(manager, store)),
      formats_(makeFormatsPage()),
      about_(new AboutTab(urls, std::move(about))) {
    setObjectName("settingsView");
    setAccessibleName(tr("Préférences Orvalin"));
    setUsesScrollButtons(false);
    // Every page on the window colour, which the group boxes and tiles are drawn against.
    for (QWidget* page : {static_cast<QWidget*>(general_), formats_, static_cast<QWidget*>(about_)}) {
        page->setBackgroundRole(QPalette::Window);
        page->setAutoFillBackground(true);
    }
    addTab(general_, tr("Général"));
    addTab(formats_, tr("Formats"));
    addTab(about_, tr("À propos"));
    // No style sheet here: widgets under one keep the palette they had and would miss a change of
    // appearance.
    refreshTabIcons();
    setCurrentIndex(0);
    installCloseKeys();
}

void SettingsView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) refreshTabIcons();
    QTabWidget::changeEvent(event);
}

// The desktop theme's icon where it has one, else the built-in drawing in the text colour, so that
// it stays readable in the dark appearance.
void SettingsView::refreshTabIcons() {
    const std::array<const char*, 3> symbols{"gearshape", "calendar", "info.circle"};
    const QColor ink = palette().color(QPalette::WindowText);
    for (int i = 0; i < count() && i < static_cast<int>(symbols.size()); ++i) {
        const QString symbol = QString::fromLatin1(symbols[static_cast<std::size_t>(i)]);
        QIcon icon;
        for (const QString& name : themeNamesForSymbol(symbol)) {
            if (QIcon::hasThemeIcon(name)) {
                icon = QIcon::fromTheme(name);
                break;
            }
        }
        setTabIcon(i, icon.isNull() ? symbolGlyph(symbol, ink) : icon);
    }
}

QWidget* SettingsView::makeFormatsPage() {
    auto* page = new FormatsTab(manager_);
    page->setObjectName("formatsPage");
    return page;
}

void SettingsView::installCloseKeys() {
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] { window()->close(); });
    }
}

}  // namespace orvalin::ui
