#include <QPushButton>
#include <QSignalSpy>

#include "core/date_format.h"
#include "support/tray_fixture.h"
#include "ui/panel/calendar_day_cell.h"
#include "ui/panel/menu_bar_panel.h"
#include "ui/panel/mini_calendar_view.h"
#include "ui/panel/panel_rows.h"

namespace orvalin::ui {
namespace {

class PanelTest : public TrayTest {
protected:
    MenuBarPanel& makePanel() {
        if (!manager) startManager();
        PanelHooks hooks;
        hooks.openWindow = [this](const QString& id) { opened.push_back(id); };
        hooks.quit = [this] { ++quits; };
        hooks.now = clock;
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

    std::unique_ptr<MenuBarPanel> panel;
    std::vector<QString> opened;
    int quits = 0;
};

TEST_F(PanelTest, RowsShowEveryFormatWithTodaysDateAndFollowTheManager) {
    completeOnboarding();
    startManager().setShortcuts(
        {entry("ISO", "yyyy-MM-dd", "dt "), entry("Long", "EEEE d MMMM yyyy", "dtl ")});
    MenuBarPanel& p = showPanel();

    auto rows = p.formatRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->labelText(), "ISO");
    EXPECT_EQ(rows[0]->previewText(), "2026-02-10");
    EXPECT_EQ(rows[1]->labelText(), "Long");
    EXPECT_EQ(rows[1]->previewText(), QString::fromStdString(formatDate(kNow, "EEEE d MMMM yyyy")));

    // A format added elsewhere appears at once, a deleted one goes.
    const Shortcut added = manager->addShortcut();
    rows = p.formatRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2]->labelText(), QString::fromStdString(added.label));
    EXPECT_EQ(rows[2]->entryId(), added.id);

    manager->deleteShortcut(manager->shortcuts()[0].id);
    rows = p.formatRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->labelText(), "Long");

    Shortcut renamed = manager->shortcuts()[0];
    renamed.label = "Jour";
    renamed.dateFormat = "dd/MM";
    manager->updateShortcut(renamed);
    rows = p.formatRows();
    EXPECT_EQ(rows[0]->labelText(), "Jour");
    EXPECT_EQ(rows[0]->previewText(), "10/02");
}

TEST_F(PanelTest, TriggerIsTrimmedOfSpacesAndTabsOnly) {
    completeOnboarding();
    startManager().setShortcuts({entry("A", "yyyy", "dt "), entry("B", "yyyy", " \t  "),
                                 entry("C", "yyyy", "\tx y "), entry("D", "yyyy", ""),
                                 entry("E", "yyyy", "ab\n")});
    auto rows = makePanel().formatRows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0]->triggerText(), "dt");
    EXPECT_EQ(rows[1]->triggerText(), "");
    EXPECT_EQ(rows[2]->triggerText(), "x y");
    EXPECT_EQ(rows[3]->triggerText(), "");
    EXPECT_EQ(rows[4]->triggerText(), "ab\n");
}

TEST_F(PanelTest, BadgeOnlyForFormatsWithACombination) {
    completeOnboarding();
    startManager().setShortcuts(
        {entry("A", "yyyy", "dt "),
         entry("B", "yyyy", "db ", GlobalShortcut{2, modifier::kControl | modifier::kAlt, "⌃⌥D"})});
    auto rows = makePanel().formatRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_FALSE(rows[0]->badgeText().has_value());
    ASSERT_TRUE(rows[1]->badgeText().has_value());
    EXPECT_EQ(*rows[1]->badgeText(), "⌃⌥D");
}

TEST_F(PanelTest, PanelIsExactly320WideWhateverTheTextLengths) {
    completeOnboarding();
    const std::string longText(300, 'W');
    startManager().setShortcuts({entry(longText, "'" + longText + "'", longText + " ",
                                       GlobalShortcut{2, modifier::kControl, "⌃" + longText})});
    MenuBarPanel& p = showPanel();
    EXPECT_EQ(p.width(), 320);
    EXPECT_EQ(p.frameGeometry().width(), 320);
    for (FormatRow* row : p.formatRows()) EXPECT_LE(row->geometry().right(), 320);

    manager->setShortcuts({});
    EXPECT_EQ(p.width(), 320);
}

TEST_F(PanelTest, EmptyListShowsOnlyTheHeadingAndSectionsInOrder) {
    completeOnboarding();
    startManager(false).setShortcuts({});
    MenuBarPanel& p = showPanel();
    EXPECT_TRUE(p.formatRows().empty());
    const QStringList expected{
        "header",          "divider", "section:Aujourd'hui", "formatRows",  "divider", "calendarToggle",
        "calendarSection", "divider", "permissionSection",   "preferences", "quit"};
    EXPECT_EQ(p.visibleSectionOrder(), expected);
}

TEST_F(PanelTest, PermissionWarningFollowsThePermission) {
    completeOnboarding();
    startManager(false);
    MenuBarPanel& p = showPanel();
    EXPECT_TRUE(p.isPermissionWarningShown());
    EXPECT_EQ(p.permissionWarning()->text(),
              QStringLiteral("Expansion de texte désactivée — Réglages Système…"));
    const int tallWithWarning = p.height();

    // Clicking it leads to the help page.
    QTest::mouseClick(p.permissionWarning(), Qt::LeftButton);
    ASSERT_EQ(platform.urlOpener.opened.size(), 1u);
    EXPECT_EQ(platform.urlOpener.opened[0], fakes::FakePlatform::kHelpUrl);

    // Granted: the fast poll sees it and the warning goes, without reopening the panel.
    platform.trust.trusted = true;
    platform.scheduler.advance(1s);
    EXPECT_FALSE(p.isPermissionWarningShown());
    EXPECT_FALSE(p.visibleSectionOrder().contains("permissionSection"));
    EXPECT_LT(p.height(), tallWithWarning);

    // Lost again: the next showing checks and warns.
    p.hide();
    platform.trust.trusted = false;
    showPanel();
    EXPECT_TRUE(p.isPermissionWarningShown());
}

TEST_F(PanelTest, RowClickPastesTheDateAndGivesTheClipboardBack) {
    completeOnboarding();
    startManager().setShortcuts({entry("ISO", "yyyy-MM-dd", "dt ")});
    platform.pasteboard.userCopies(fakes::textContent("copied by the user"));
    MenuBarPanel& p = showPanel();
    platform.timeline.clear();
    const auto start = platform.scheduler.now();

    QTest::mouseClick(p.formatRows()[0], Qt::LeftButton);
    EXPECT_FALSE(p.isVisible());
    EXPECT_EQ(platform.pasteboard.describe(), "2026-02-10");
    EXPECT_TRUE(platform.keys.presses.empty());

    platform.scheduler.advance(300ms);
    const std::vector<fakes::TimelineEntry> expected{
        {start, "snapshot", "copied by the user"},
        {start, "setText", "2026-02-10"},
        {start + 150ms, "key 9 flags 0x100000", "2026-02-10"},
        {start + 300ms, "restore", "copied by the user"},
    };
    EXPECT_EQ(insertionCalls(), expected);
    // Nothing is erased first.
    EXPECT_EQ(platform.keys.presses.size(), 1u);
}

TEST_F(PanelTest, RowClickPastesWithoutPermissionToo) {
    completeOnboarding();
    startManager(false).setShortcuts({entry("Y", "yyyy", "dy ")});
    MenuBarPanel& p = showPanel();
    QTest::mouseClick(p.formatRows()[0], Qt::LeftButton);
    platform.scheduler.advance(300ms);
    ASSERT_EQ(platform.keys.presses.size(), 1u);
    EXPECT_EQ(platform.keys.presses[0].keyCode, 9);
}

TEST_F(PanelTest, CalendarDayPastesThatDayInTheDefaultFormat) {
    completeOnboarding();
    auto iso = entry("ISO", "yyyy-MM-dd", "dt ");
    auto eu = entry("EU", "dd/MM/yyyy", "dtc ");
    startManager().setShortcuts({iso, eu});
    manager->setDefaultFormatId(eu.id);
    MenuBarPanel& p = showPanel();
    platform.timeline.clear();

    CalendarDayCell* cell = p.calendar()->cellForDay(14);
    ASSERT_NE(cell, nullptr);
    QTest::mouseClick(cell, Qt::LeftButton);
    EXPECT_EQ(platform.pasteboard.describe(), "14/02/2026");
    EXPECT_FALSE(p.isVisible());
    platform.scheduler.advance(300ms);
    ASSERT_EQ(insertionCalls().size(), 4u);
    EXPECT_EQ(insertionCalls()[2].call, "key 9 flags 0x100000");
    EXPECT_EQ(insertionCalls()[2].at, 150ms);
}

TEST_F(PanelTest, CalendarDayDoesNothingWithoutAnyFormat) {
    completeOnboarding();
    startManager().setShortcuts({});
    platform.pasteboard.userCopies(fakes::textContent("kept"));
    MenuBarPanel& p = showPanel();
    platform.timeline.clear();
    QTest::mouseClick(p.calendar()->cellForDay(3), Qt::LeftButton);
    platform.scheduler.advance(1s);
    EXPECT_TRUE(insertionCalls().empty());
    EXPECT_EQ(platform.pasteboard.describe(), "kept");
}

TEST_F(PanelTest, KeyboardCommandsQuitAndOpenPreferences) {
    completeOnboarding();
    MenuBarPanel& p = showPanel();
    QTest::keyClick(&p, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(opened, std::vector<QString>{"preferences"});
    EXPECT_FALSE(p.isVisible());
    showPanel();
    QTest::keyClick(&p, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);

    QTest::mouseClick(p.preferencesButton(), Qt::LeftButton);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_EQ(p.preferencesButton()->text(), QStringLiteral("Préférences…"));
    EXPECT_EQ(p.quitButton()->text(), QStringLiteral("Quitter Orvalin"));
}

TEST_F(PanelTest, OnboardingOpensOnEveryShowingUntilCompleted) {
    MenuBarPanel& p = showPanel();
    EXPECT_EQ(opened, std::vector<QString>{"onboarding"});
    p.hide();
    showPanel();
    EXPECT_EQ(opened.size(), 2u);
    p.hide();
    completeOnboarding();
    showPanel();
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(PanelTest, CalendarToggleCollapsesAndTheCalendarComesBackOnTodaysMonth) {
    completeOnboarding();
    MenuBarPanel& p = showPanel();
    EXPECT_TRUE(p.isCalendarShown());
    EXPECT_DOUBLE_EQ(p.calendarToggle()->chevronRotation(), 90.0);
    MiniCalendarView* calendar = p.calendar();
    calendar->shiftMonth(3);
    QTest::mouseClick(calendar->cellForDay(12), Qt::LeftButton);  // closes the panel
    showPanel();
    EXPECT_EQ(calendar->monthTitleText(), QStringLiteral("février 2026"));
    EXPECT_FALSE(calendar->selectedDate().has_value());

    calendar->shiftMonth(2);
    const int expandedHeight = p.height();
    QTest::mouseClick(p.calendarToggle(), Qt::LeftButton);
    EXPECT_FALSE(p.isCalendarShown());
    QTRY_VERIFY_WITH_TIMEOUT(!calendar->isVisible(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(p.calendarToggle()->chevronRotation(), 0.0, 5000);
    EXPECT_FALSE(p.visibleSectionOrder().contains("calendarSection"));
    EXPECT_LT(p.height(), expandedHeight);
    EXPECT_EQ(p.width(), 320);

    QTest::mouseClick(p.calendarToggle(), Qt::LeftButton);
    EXPECT_TRUE(p.isCalendarShown());
    QTRY_COMPARE_WITH_TIMEOUT(p.calendarToggle()->chevronRotation(), 90.0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(p.height(), expandedHeight, 5000);
    EXPECT_EQ(calendar->monthTitleText(), QStringLiteral("février 2026"));
}

}  // namespace
}  // namespace orvalin::ui
