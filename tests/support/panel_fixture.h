#pragma once

#include <QAbstractButton>
#include <memory>
#include <vector>

#include "support/tray_fixture.h"
#include "support/widget_lookup.h"
#include "ui/panel/calendar_day_cell.h"
#include "ui/panel/format_row.h"
#include "ui/panel/menu_bar_panel.h"
#include "ui/widgets/elided_label.h"

namespace orvalin::ui {

using orvalin::testing::byAccessibleName;
using orvalin::testing::shownChildren;

// The text of the named label inside `parent`; empty when there is none.
inline QString textOf(const QWidget* parent, const char* name) {
    auto* label = parent->findChild<ElidedLabel*>(name);
    return label ? label->text() : QString();
}

// The tray panel on the fake platform, found the way a user sees it.
class PanelTest : public TrayTest {
protected:
    MenuBarPanel& makePanel() {
        if (!manager) startManager();
        PanelHooks hooks;
        hooks.openWindow = [this](Window which) { opened.push_back(which); };
        hooks.quit = [this] { ++quits; };
        hooks.grid = &grid;
        panel = std::make_unique<MenuBarPanel>(*manager, store, std::move(hooks));
        return *panel;
    }
    MenuBarPanel& showPanel() {
        if (!panel) makePanel();
        panel->popupCentered();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        return *panel;
    }
    std::vector<FormatRow*> rows() const { return shownChildren<FormatRow>(panel.get()); }
    template <class T = QAbstractButton>
    T* part(const char* name) const {
        return panel->findChild<T*>(name);
    }
    bool shows(const char* name) const { return part<QWidget>(name)->isVisibleTo(panel.get()); }
    CalendarDayCell* day(const QString& spoken) const {
        return byAccessibleName<CalendarDayCell>(panel.get(), spoken);
    }

    std::unique_ptr<MenuBarPanel> panel;
    std::vector<Window> opened;
    int quits = 0;
};

}  // namespace orvalin::ui
