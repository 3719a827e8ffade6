#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/preferences_store.h"
#include "ui/panel/menu_bar_panel.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/window.h"

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace orvalin {
class TextExpansionManager;
}  // namespace orvalin

namespace orvalin::ui {

// The application around the one manager: the tray icon and its panel, the single-instance
// windows (settings and onboarding), and the appearance setting applied to all of them.
class OrvalinApp : public QObject {
    Q_OBJECT
public:
    // Builds a window's content; the window around it (title, fixed size, one instance) is ours.
    using WindowContentFactory = std::function<QWidget*(OrvalinApp& app)>;

    struct WindowFrame {
        QString title;
        QSize size;
    };

    // Both outlive this object. Nothing is shown until start().
    OrvalinApp(TextExpansionManager& manager, PreferencesStore& store, QObject* parent = nullptr);
    ~OrvalinApp() override;

    // Shows the tray icon (keeps running without a tray), then runs the event loop until quit.
    int exec();
    // Shows the tray icon and makes the program live on without windows. Called by exec().
    void start();

    // Opens the panel in the middle of the screen; a second start of the program calls this.
    void showPanel();
    // Opens the panel at a tray icon's place (centred for an empty anchor), or closes it when it is open.
    void togglePanelAt(const QRect& anchor);

    // Whether a window that opens takes the keyboard from the window the user is in.
    enum class Focus { Take, LeaveWithUser };
    // Opens the window, or brings the open one forward.
    QWidget* openWindow(Window which, Focus focus = Focus::Take);
    QWidget* window(Window which) const;
    static WindowFrame windowFrame(Window which);
    // Replaces the placeholder content of a window that is opened from then on.
    void setWindowContentFactory(Window which, const WindowContentFactory& factory);

    // Reads "Orvalin.appearance" and applies it if it differs from what is applied.
    void refreshAppearance();

    TextExpansionManager& manager() { return manager_; }
    PreferencesStore& store() { return store_; }
    MenuBarPanel& panel();
    // Replaces what quitting does (tests); the default quits the event loop.
    void setQuitHandler(std::function<void()> quit) { quit_ = std::move(quit); }
    // The calendar handed to the panel (tests); set before panel() is first used.
    void setPanelCalendar(const MonthGrid* grid) { panelGrid_ = grid; }

private:
    void quit();

    TextExpansionManager& manager_;
    PreferencesStore& store_;
    std::unique_ptr<MenuBarPanel> panel_;
    QSystemTrayIcon* tray_ = nullptr;
    std::unique_ptr<QMenu> trayMenu_;
    std::map<Window, QPointer<QWidget>> windows_;
    std::map<Window, WindowContentFactory> factories_;
    std::function<void()> quit_;
    const MonthGrid* panelGrid_ = nullptr;
    std::optional<std::string> appliedAppearance_;
    PreferencesStore::ListenerId storeListener_ = 0;
    QElapsedTimer sincePanelHidden_;
};

}  // namespace orvalin::ui
