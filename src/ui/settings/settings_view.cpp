#include "ui/settings/settings_view.h"

#include <QKeySequence>
#include <QShortcut>

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
    setDocumentMode(true);
    setUsesScrollButtons(false);
    addTab(general_, symbolIcon(QStringLiteral("gearshape")), tr("Général"));
    addTab(formats_, symbolIcon(QStringLiteral("calendar")), tr("Formats"));
    addTab(about_, symbolIcon(QStringLiteral("info.circle")), tr("À propos"));
    setCurrentIndex(0);
    installCloseKeys();
}

QWidget* SettingsView::makeFormatsPage() {
    auto* page = new QWidget;
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
