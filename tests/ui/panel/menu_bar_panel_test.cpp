#include <QAbstractButton>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "core/date_format.h"
#include "support/panel_fixture.h"
#include "support/scoped_env.h"
#include "ui/widgets/badge.h"
#include "ui/widgets/elided_label.h"
#include "ui/widgets/glyph_button.h"
#include "ui/widgets/section_label.h"

namespace orvalin::ui {
namespace {

// One part of every row, top to bottom; "-" where a row has no such part.
QStringList rowParts(const std::vector<FormatRow*>& rows, const char* part) {
    QStringList texts;
    for (FormatRow* row : rows) texts << (row->findChild<QWidget*>(part) ? textOf(row, part) : "-");
    return texts;
}

TEST_F(PanelTest, RowsShowEveryFormatWithTodaysDateAndFollowTheManager) {
    completeOnboarding();
    startManager().setShortcuts(
        {entry("ISO", "yyyy-MM-dd", "dt "), entry("Long", "EEEE d MMMM yyyy", "dtl ")});
    showPanel();
    EXPECT_EQ(rowParts(rows(), "label"), (QStringList{"ISO", "Long"}));
    EXPECT_EQ(rowParts(rows(), "preview"),
              (QStringList{"2026-02-10", QString::fromStdString(formatDate(kNow, "EEEE d MMMM yyyy"))}));

    // A format added elsewhere appears at once, a deleted one goes, an edited one changes.
    const Shortcut added = manager->addShortcut();
    EXPECT_EQ(rowParts(rows(), "label"), (QStringList{"ISO", "Long", QString::fromStdString(added.label)}));
    manager->deleteShortcut(manager->shortcuts()[0].id);
    Shortcut renamed = manager->shortcuts()[0];
    renamed.label = "Jour";
    renamed.dateFormat = "dd/MM";
    manager->updateShortcut(renamed);
    EXPECT_EQ(rowParts(rows(), "label"), (QStringList{"Jour", QString::fromStdString(added.label)}));
    EXPECT_EQ(rowParts(rows(), "preview").front(), "10/02");
}

TEST_F(PanelTest, TriggerIsTrimmedOfSpacesAndTabsOnlyAndTheBadgeShowsTheCombination) {
    completeOnboarding();
    startManager().setShortcuts({entry("A", "yyyy", "dt "), entry("B", "yyyy", " \t  "),
                                 entry("C", "yyyy", "\tx y "), entry("D", "yyyy", ""),
                                 entry("E", "yyyy", "ab\n", GlobalShortcut{2, modifier::kControl, "⌃D"})});
    showPanel();
    EXPECT_EQ(rowParts(rows(), "trigger"), (QStringList{"dt", "-", "x y", "-", "ab\n"}));
    EXPECT_EQ(rowParts(rows(), "badge"), (QStringList{"-", "-", "-", "-", ""}));
    EXPECT_EQ(rows().back()->findChild<Badge*>("badge")->text(), "Ctrl+D");
}

TEST_F(PanelTest, ALongCombinationIsCutInItsBadgeAndLeavesTheDateWhole) {
    completeOnboarding();
    startManager().setShortcuts(
        {entry("Court", "dd/MM/yyyy", "dtc ", GlobalShortcut{51, modifier::kMask, "⌃⌥⇧⌘⌫"})});
    showPanel();
    auto* preview = rows().front()->findChild<ElidedLabel*>("preview");
    EXPECT_GE(preview->width(), preview->sizeHint().width()) << "the date is cut";
    auto* badge = rows().front()->findChild<Badge*>("badge");
    EXPECT_EQ(badge->text(), "Ctrl+Alt+Shift+Super+Retour arrière");
    EXPECT_LT(badge->width(), badge->sizeHint().width());
}

TEST_F(PanelTest, PanelIsExactly320WideWhateverTheTextLengths) {
    completeOnboarding();
    const std::string longText(300, 'W');
    startManager().setShortcuts({entry(longText, "'" + longText + "'", longText + " ",
                                       GlobalShortcut{2, modifier::kControl, "⌃" + longText})});
    MenuBarPanel& p = showPanel();
    EXPECT_EQ(p.width(), 320);
    EXPECT_EQ(p.frameGeometry().width(), 320);
    for (FormatRow* row : rows()) EXPECT_LE(row->mapTo(&p, row->rect().bottomRight()).x(), 320);

    manager->setShortcuts({});
    EXPECT_EQ(p.width(), 320);
}

TEST_F(PanelTest, EmptyListShowsOnlyTheHeadingAndSectionsInOrder) {
    completeOnboarding();
    startManager(false).setShortcuts({});
    MenuBarPanel& p = showPanel();
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(shownChildren<SectionLabel>(&p).size(), 1u);  // its name is read through AT-SPI
    const QStringList expected{"header",          "formatRows",        "calendarToggle",
                               "calendarSection", "permissionSection", "preferencesButton",
                               "quitButton"};
    QStringList order;
    for (QWidget* widget : shownChildren(&p)) {
        if (expected.contains(widget->objectName())) order << widget->objectName();
    }
    EXPECT_EQ(order, expected);
}

TEST_F(PanelTest, ASessionNoticeShowsInTheWarningRowWhilePermitted) {
    completeOnboarding();
    platform.engine.sessionNotice = "Seules les applications X11 reçoivent les dates — Aide…";
    startManager(true);
    showPanel();
    EXPECT_TRUE(shows("permissionSection"));
    EXPECT_EQ(part("permissionWarning")->text(), QString::fromStdString(platform.engine.sessionNotice));
}

// The IBus route: another input source is chosen, and the help opens on how to choose Orvalin.
TEST_F(PanelTest, ARoutesOwnWarningShowsWhileNotWatchingAndLeadsToItsHelpSection) {
    completeOnboarding();
    platform.engine.permissionWarning = "Orvalin n'est pas la source de saisie — Aide…";
    platform.engine.permissionHelpUrl += "#ibus";
    startManager(false);
    MenuBarPanel& p = showPanel();
    EXPECT_EQ(part("permissionWarning")->text(), QString::fromStdString(platform.engine.permissionWarning));
    QTest::mouseClick(part("permissionWarning"), Qt::LeftButton);
    EXPECT_EQ(platform.urlOpener.opened, std::vector<std::string>{platform.engine.permissionHelpUrl});
    p.hide();
    platform.trust.trusted = true;
    showPanel();
    EXPECT_FALSE(shows("permissionSection"));
}

// The IBus route gave up a date no text field took in time: the panel says why, beside any
// other warning, until the user has read it (a click), asks for another date, or time passes.
TEST_F(PanelTest, ADroppedDateIsExplainedUntilReadOrAnotherDateIsAsked) {
    completeOnboarding();
    startManager(false).setShortcuts({entry("ISO", "yyyy-MM-dd", "dt ")});
    MenuBarPanel& p = showPanel();
    const int withWarningOnly = p.height();
    manager->insertionDropped("aucun champ de saisie n'a reçu le focus à temps");
    EXPECT_TRUE(shows("insertionNotice"));
    EXPECT_TRUE(shows("permissionWarning"));
    EXPECT_EQ(part("insertionNotice")->text(),
              QStringLiteral("Date non insérée : aucun champ de saisie n'a reçu le focus à temps"));
    EXPECT_GT(p.height(), withWarningOnly);
    QTest::mouseClick(part("insertionNotice"), Qt::LeftButton);
    EXPECT_FALSE(shows("insertionNotice"));
    EXPECT_EQ(p.height(), withWarningOnly);
    EXPECT_TRUE(platform.urlOpener.opened.empty());

    // Told while the panel is closed: its next showing says it, alone; a row asks for another date.
    p.hide();
    platform.trust.trusted = true;
    manager->insertionDropped("aucun champ de saisie n'a reçu le focus à temps");
    showPanel();
    EXPECT_TRUE(shows("insertionNotice"));
    EXPECT_FALSE(shows("permissionWarning"));
    QTest::mouseClick(rows()[0], Qt::LeftButton);
    showPanel();
    EXPECT_FALSE(shows("permissionSection"));

    manager->insertionDropped("aucun champ de saisie n'a reçu le focus à temps");
    platform.scheduler.advance(TextExpansionManager::kInsertionNoticeLifetime - 1ms);
    EXPECT_TRUE(shows("insertionNotice"));
    platform.scheduler.advance(1ms);
    EXPECT_FALSE(shows("permissionSection"));
}

TEST_F(PanelTest, PermissionWarningFollowsThePermissionAndLeadsToTheHelp) {
    completeOnboarding();
    startManager(false);
    MenuBarPanel& p = showPanel();
    EXPECT_TRUE(shows("permissionSection"));
    EXPECT_EQ(part("permissionWarning")->text(), QStringLiteral("Expansion de texte désactivée — Aide…"));
    const int tallWithWarning = p.height();
    QTest::mouseClick(part("permissionWarning"), Qt::LeftButton);
    EXPECT_EQ(platform.urlOpener.opened, std::vector<std::string>{fakes::FakePlatform::kHelpUrl});

    // Granted: the fast poll sees it and the warning goes, without reopening the panel.
    platform.trust.trusted = true;
    platform.scheduler.advance(1s);
    EXPECT_FALSE(shows("permissionSection"));
    EXPECT_LT(p.height(), tallWithWarning);

    // Lost again: the next showing checks and warns.
    p.hide();
    platform.trust.trusted = false;
    showPanel();
    EXPECT_TRUE(shows("permissionSection"));
}

// Without the permission too: nothing of a panel insertion needs the key monitor.
TEST_F(PanelTest, RowClickPastesTheDateAndGivesTheClipboardBack) {
    completeOnboarding();
    startManager(false).setShortcuts({entry("ISO", "yyyy-MM-dd", "dt ")});
    platform.pasteboard.userCopies(fakes::textContent("copied by the user"));
    MenuBarPanel& p = showPanel();
    platform.timeline.clear();
    const auto start = platform.scheduler.now();

    QTest::mouseClick(rows()[0], Qt::LeftButton);
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

TEST_F(PanelTest, CalendarDayPastesThatDayInTheDefaultFormat) {
    completeOnboarding();
    auto iso = entry("ISO", "yyyy-MM-dd", "dt ");
    auto eu = entry("EU", "dd/MM/yyyy", "dtc ");
    startManager().setShortcuts({iso, eu});
    manager->setDefaultFormatId(eu.id);
    MenuBarPanel& p = showPanel();
    platform.timeline.clear();

    CalendarDayCell* cell = day("samedi 14 février 2026");
    ASSERT_NE(cell, nullptr);
    QTest::mouseClick(cell, Qt::LeftButton);
    EXPECT_EQ(platform.pasteboard.describe(), "14/02/2026");  // then pasted as a row's date is
    EXPECT_FALSE(p.isVisible());
}

// A row shows and inserts the day its format is set to, in its language, and says which day it
// is; the calendar inserts the day clicked, in the default format's language.
TEST_F(PanelTest, RowsFollowEachFormatsDayAndLanguageAndTheCalendarTheDayClicked) {
    ScopedEnv locale("LC_ALL", "fr_FR.UTF-8");
    completeOnboarding();
    Shortcut tomorrow = entry("Demain", "EEEE d MMMM", "dtm ");
    tomorrow.dayOffset = 1;
    tomorrow.locale = "en-US";
    Shortcut before = entry("Avant", "EEEE dd/MM", "dta ");
    before.dayOffset = -3;
    startManager().setShortcuts({tomorrow, before, entry("ISO", "yyyy-MM-dd", "dt ")});
    manager->setDefaultFormatId(tomorrow.id);
    showPanel();
    EXPECT_EQ(rowParts(rows(), "preview"),
              (QStringList{"Wednesday 11 February", "samedi 07/02", "2026-02-10"}));
    QStringList said;
    for (FormatRow* row : rows()) said << row->accessibleDescription();
    EXPECT_EQ(said,
              (QStringList{"demain, déclencheur dtm", "il y a 3 jours, déclencheur dta", "déclencheur dt"}));

    QTest::mouseClick(rows()[1], Qt::LeftButton);
    EXPECT_EQ(platform.pasteboard.describe(), "samedi 07/02");
    platform.scheduler.advance(1s);
    showPanel();
    QTest::mouseClick(day("samedi 14 février 2026"), Qt::LeftButton);
    EXPECT_EQ(platform.pasteboard.describe(), "Saturday 14 February");
}

TEST_F(PanelTest, CalendarDayDoesNothingWithoutAnyFormat) {
    completeOnboarding();
    startManager().setShortcuts({});
    platform.pasteboard.userCopies(fakes::textContent("kept"));
    showPanel();
    platform.timeline.clear();
    QTest::mouseClick(day("mardi 3 février 2026"), Qt::LeftButton);
    platform.scheduler.advance(1s);
    EXPECT_TRUE(insertionCalls().empty());
    EXPECT_EQ(platform.pasteboard.describe(), "kept");
}

TEST_F(PanelTest, KeyboardCommandsQuitAndOpenPreferences) {
    completeOnboarding();
    MenuBarPanel& p = showPanel();
    QTest::keyClick(&p, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(opened, std::vector<Window>{Window::Settings});
    EXPECT_FALSE(p.isVisible());
    showPanel();
    QTest::keyClick(&p, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);

    QTest::mouseClick(part("preferencesButton"), Qt::LeftButton);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(PanelTest, OnboardingOpensOnEveryShowingUntilCompleted) {
    MenuBarPanel& p = showPanel();
    EXPECT_EQ(opened, std::vector<Window>{Window::Onboarding});
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
    auto* chevron = part<GlyphButton>("chevron");
    auto* title = part<ElidedLabel>("monthTitle");
    EXPECT_TRUE(shows("calendarSection"));
    EXPECT_DOUBLE_EQ(chevron->rotation(), 90.0);
    // The arrows step months (week numbers and the year's turn: the month grid's tests).
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(byAccessibleName<QAbstractButton>(&p, "Mois suivant"), Qt::LeftButton);
    EXPECT_EQ(title->text(), QStringLiteral("mai 2026"));
    EXPECT_TRUE(p.isVisible()) << "an arrow inserted a date";
    QTest::mouseClick(day("mardi 12 mai 2026"), Qt::LeftButton);  // closes the panel
    showPanel();
    EXPECT_EQ(title->text(), QStringLiteral("février 2026"));
    for (CalendarDayCell* cell : shownChildren<CalendarDayCell>(&p)) EXPECT_FALSE(cell->day()->isSelected);

    QTest::mouseClick(byAccessibleName<QAbstractButton>(&p, "Mois précédent"), Qt::LeftButton);
    EXPECT_EQ(title->text(), QStringLiteral("janvier 2026"));
    const int expandedHeight = p.height();
    QTest::mouseClick(part("calendarToggle"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!shows("calendarSection"), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(chevron->rotation(), 0.0, 5000);
    EXPECT_LT(p.height(), expandedHeight);
    EXPECT_EQ(p.width(), 320);

    QTest::mouseClick(part("calendarToggle"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(chevron->rotation(), 90.0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(p.height(), expandedHeight, 5000);
    EXPECT_EQ(title->text(), QStringLiteral("février 2026"));
}

}  // namespace
}  // namespace orvalin::ui
