#include "ui/orvalin_app.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <QWidget>

#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "ui/widgets/icons.h"

namespace orvalin::ui {

namespace {

// A click on the tray icon that closes the popup must not reopen it at once.
constexpr qint64 kReopenGuardMs = 300;

QIcon programIcon() {
    return QIcon::fromTheme(QStringLiteral("orvalin"), symbolIcon("calendar"));
}

// The panels of these desktops draw status icons in one colour; a full-colour icon stands out there.
QIcon statusIcon() {
    const QString desktop = QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")).toLower();
    for (const char* name : {"gnome", "unity", "pantheon", "budgie", "cinnamon"}) {
        if (desktop.contains(QLatin1String(name))) {
            return QIcon::fromTheme(QStringLiteral("orvalin-symbolic"), symbolIcon("calendar"));
        }
    }
    return symbolIcon("calendar");
}

// Tells its owner when the watched widget hides.
class HideNotifier : public QObject {
public:
    HideNotifier(QObject* parent, std::function<void()> onHide)
        : QObject(parent), onHide_(std::move(onHide)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && onHide_) onHide_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onHide_;
};

}  // namespace

OrvalinApp::OrvalinApp(TextExpansionManager& manager, PreferencesStore& store, QObject* parent)
    : QObject(parent), manager_(manager), store_(store), quit_([] { QCoreApplication::quit(); }) {
    // The settings window writes the appearance through the same store: follow it without polling.
    storeListener_ = store_.addListener([this](const std::string& key) {
        if (key == prefkey::kAppearance) refreshAppearance();
    });
}

OrvalinApp::~OrvalinApp() {
    store_.removeListener(storeListener_);
    delete tray_;  // before the menu it shows
    for (auto& [which, open] : windows_) delete open.data();
}

MenuBarPanel& OrvalinApp::panel() {
    if (!panel_) {
        PanelHooks hooks;
        // A window the open panel brings up (the onboarding) must not take the keyboard: a click
        // in the panel pastes into the window the user was in before it opened.
        hooks.openWindow = [this](Window which) {
            const bool fromOpenPanel = panel_ && panel_->isVisible();
            openWindow(which, fromOpenPanel ? Focus::LeaveWithUser : Focus::Take);
            // The panel is what the user is using: it stays in front of the window it brought up.
            if (fromOpenPanel) panel_->raise();
        };
        hooks.quit = [this] { quit(); };
        hooks.appeared = [this] { refreshAppearance(); };
        hooks.grid = panelGrid_;
        panel_ = std::make_unique<MenuBarPanel>(manager_, store_, std::move(hooks));
        panel_->installEventFilter(new HideNotifier(panel_.get(), [this] { sincePanelHidden_.start(); }));
    }
    return *panel_;
}

void OrvalinApp::start() {
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(programIcon());
    refreshAppearance();
    if (tray_) return;
    tray_ = new QSystemTrayIcon(statusIcon(), this);
    tray_->setToolTip(tr("Orvalin"));
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick) return;
        QRect anchor = tray_->geometry();
        if (!anchor.isValid() || anchor.isEmpty()) {
            // A Wayland compositor tells a client neither where its tray icon nor where the
            // pointer is: no anchor, and the panel opens in the middle of the screen.
            const bool pointerKnown = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
            anchor = pointerKnown ? QRect(QCursor::pos(), QSize(1, 1)) : QRect();
        }
        togglePanelAt(anchor);
    });
    // Some tray hosts only ever show a menu: offer the two panel commands there too.
    trayMenu_ = std::make_unique<QMenu>();
    trayMenu_->addAction(tr("Préférences…"), this, [this] { openWindow(Window::Settings); });
    trayMenu_->addAction(tr("Quitter Orvalin"), this, [this] { quit(); });
    tray_->setContextMenu(trayMenu_.get());
    // Without a tray host the icon simply stays unseen; expansion goes on and a second start
    // opens the panel.
    tray_->show();
}

int OrvalinApp::exec() {
    start();
    return QApplication::exec();
}

void OrvalinApp::showPanel() {
    panel().popupCentered();
}

void OrvalinApp::togglePanelAt(const QRect& anchor) {
    MenuBarPanel& thePanel = panel();
    if (thePanel.isVisible()) {
        thePanel.hide();
        return;
    }
    if (sincePanelHidden_.isValid() && sincePanelHidden_.elapsed() < kReopenGuardMs) return;
    if (anchor.isEmpty()) {
        thePanel.popupCentered();
    } else {
        thePanel.popupAt(anchor);
    }
}

OrvalinApp::WindowFrame OrvalinApp::windowFrame(Window which) {
    switch (which) {
        case Window::Settings:
            return {tr("Préférences Orvalin"), {520, 560}};
        case Window::Onboarding:
            return {tr("Bienvenue dans Orvalin"), {480, 420}};
    }
    return {};
}

void OrvalinApp::setWindowContentFactory(Window which, const WindowContentFactory& factory) {
    factories_[which] = factory;
}

QWidget* OrvalinApp::window(Window which) const {
    const auto open = windows_.find(which);
    return open == windows_.end() ? nullptr : open->second.data();
}

QWidget* OrvalinApp::openWindow(Window which, Focus focus) {
    QWidget* shown = window(which);
    if (!shown) {
        const WindowFrame frame = windowFrame(which);
        shown = new QWidget(nullptr, Qt::Window);
        // Named as the end-to-end and screen-reader tests look for it.
        shown->setObjectName(which == Window::Settings ? QStringLiteral("preferences")
                                                       : QStringLiteral("onboarding"));
        shown->setAttribute(Qt::WA_DeleteOnClose);
        shown->setWindowTitle(frame.title);
        shown->setWindowIcon(programIcon());
        shown->setFixedSize(frame.size);
        auto* layout = new QVBoxLayout(shown);
        layout->setContentsMargins(0, 0, 0, 0);
        const auto factory = factories_.find(which);
        QWidget* content = factory != factories_.end() && factory->second ? factory->second(*this) : nullptr;
        layout->addWidget(content ? content : new QWidget);
        windows_[which] = shown;
    }
    // Also tells the window manager (through a zero user time) not to focus the new window.
    shown->setAttribute(Qt::WA_ShowWithoutActivating, focus == Focus::LeaveWithUser);
    shown->show();
    shown->raise();
    if (focus == Focus::Take) shown->activateWindow();
    return shown;
}

void OrvalinApp::refreshAppearance() {
    const std::string value = store_.string(prefkey::kAppearance).value_or("system");
    if (appliedAppearance_ && *appliedAppearance_ == value) return;
    appliedAppearance_ = value;
    applyAppearance(appearanceFromSetting(value));
}

void OrvalinApp::quit() {
    if (panel_) panel_->hide();
    if (quit_) quit_();
}

}  // namespace orvalin::ui
