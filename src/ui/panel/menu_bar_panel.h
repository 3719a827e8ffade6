#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <vector>

#include "core/month_grid.h"
#include "engine/text_expansion_manager.h"
#include "ui/widgets/window.h"

class QPushButton;
class QScreen;
class QScrollArea;
class QVBoxLayout;

namespace orvalin {
class PreferencesStore;
}

namespace orvalin::ui {

class CalendarToggle;
class FormatRow;
class MiniCalendarView;
class PanelKeyboard;
class SlideReveal;
class WarningButton;

// What the panel asks of the application around it.
struct PanelHooks {
    std::function<void(Window window)> openWindow;
    std::function<void()> quit;
    std::function<void()> appeared;   // each time the panel is shown
    const MonthGrid* grid = nullptr;  // the user's calendar when null
};

// The tray panel: today's date in every format, the mini calendar, the permission warning, why a
// date went nowhere, settings and quit. A frameless popup, 320 wide, as tall as its content, but
// never taller than the screen it opens on: then the middle (formats and calendar) scrolls and the
// commands stay in view. It holds no data of its own: rows are rebuilt from the manager whenever it
// publishes a change and on every showing.
class MenuBarPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 320;
    static constexpr Scheduler::Duration kPasteDelay{150};

    MenuBarPanel(TextExpansionManager& manager, PreferencesStore& store, PanelHooks hooks,
                 QWidget* parent = nullptr);
    ~MenuBarPanel() override;

    // Opens the panel below (or above) `anchor`, kept on the screen holding it.
    void popupAt(const QRect& anchor);
    // Opens the panel in the middle of the screen (no tray to attach it to).
    void popupCentered();

    // Puts `text` on the clipboard, closes the panel and pastes into the window that has the focus
    // once it is closed; the clipboard comes back afterwards.
    void pasteText(std::string text);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildBody();
    QWidget* buildCalendarSection();
    QWidget* buildPermissionSection();
    QWidget* buildCommands();
    void bindCommandKeys();

    void onManagerChange(TextExpansionManager::Change change);
    void rebuildRows();
    void updateWarnings();
    void toggleCalendar();
    void fitToContent();
    QRect availableArea() const;
    void placeNear(const QRect& anchor);
    void placeCentered();
    void showWithoutTakingFocus();

    TextExpansionManager& manager_;
    PreferencesStore& store_;
    PanelHooks hooks_;
    TextExpansionManager::SubscriptionId subscription_ = 0;
    bool showCalendar_ = true;
    QRect anchor_;
    QPointer<QScreen> screen_;
    bool centered_ = false;
    bool fitting_ = false;
    bool announced_ = false;

    QScrollArea* body_ = nullptr;
    QWidget* bodyContent_ = nullptr;
    QVBoxLayout* rowsLayout_ = nullptr;
    QWidget* rowsBox_ = nullptr;
    std::vector<QPointer<FormatRow>> rows_;
    CalendarToggle* toggle_ = nullptr;
    MiniCalendarView* calendar_ = nullptr;
    SlideReveal* calendarReveal_ = nullptr;
    QWidget* warningBox_ = nullptr;
    WarningButton* permissionWarning_ = nullptr;
    WarningButton* insertionNotice_ = nullptr;
    QPushButton* preferencesButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    PanelKeyboard* keyboard_ = nullptr;
};

}  // namespace orvalin::ui
