// The panel from the keyboard and through a screen reader's eyes (Qt's accessibility interfaces,
// what the AT-SPI bridge hands on).
#include <QAccessible>
#include <QApplication>

#include "support/english_interface.h"
#include "support/panel_fixture.h"
#include "ui/widgets/badge.h"

namespace orvalin::ui {
namespace {

using orvalin::testing::spokenName;
using orvalin::testing::spokenRole;

class PanelKeyboardTest : public PanelTest {
protected:
    void SetUp() override {
        completeOnboarding();
        startManager().setShortcuts({entry("ISO", "yyyy-MM-dd", "dt "),
                                     entry("Court", "dd/MM/yyyy", "dtc ",
                                           GlobalShortcut{2, modifier::kControl | modifier::kAlt, "⌃⌥D"})});
        showPanel();
        platform.timeline.clear();
    }
    // A key as the popup receives it while it holds the keyboard.
    void press(Qt::Key key) { QTest::keyClick(panel->windowHandle(), key); }
    QString focused() const {
        QWidget* widget = QApplication::focusWidget();
        return widget ? spokenName(widget) : QString();
    }
};

TEST_F(PanelKeyboardTest, ArrowsWalkTheRowsAndEnterInsertsWithoutTakingTheFocus) {
    // Opening focuses the first row, without a highlight until a key is used.
    EXPECT_EQ(focused(), "ISO, 2026-02-10");
    EXPECT_FALSE(panel->testAttribute(Qt::WA_KeyboardFocusChange));
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), "ISO, 2026-02-10");
    EXPECT_TRUE(panel->testAttribute(Qt::WA_KeyboardFocusChange));
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), "Court, 10/02/2026");
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), "Choisir une date");
    press(Qt::Key_Up);
    press(Qt::Key_Return);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(platform.pasteboard.describe(), "10/02/2026");  // then pasted as a click's is
}

TEST_F(PanelKeyboardTest, ArrowsWalkTheCalendarDayByDayAndWeekByWeek) {
    for (int i = 0; i < 4; ++i) press(Qt::Key_Down);  // reveal, Court, toggle, month arrows
    EXPECT_EQ(focused(), "Mois précédent");
    press(Qt::Key_Right);
    EXPECT_EQ(focused(), "Mois suivant");
    press(Qt::Key_Down);
    // The first week has only Sunday the 1st; then a week down, a day on, across months.
    EXPECT_EQ(focused(), "dimanche 1 février 2026");
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), "dimanche 8 février 2026");
    press(Qt::Key_Left);
    EXPECT_EQ(focused(), "samedi 7 février 2026");
    press(Qt::Key_PageDown);
    EXPECT_EQ(focused(), "samedi 7 mars 2026");
    for (int i = 0; i < 7; ++i) press(Qt::Key_Left);
    EXPECT_EQ(focused(), "samedi 28 février 2026");
    press(Qt::Key_Enter);
    EXPECT_EQ(platform.pasteboard.describe(), "2026-02-28");
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(PanelKeyboardTest, EscapeClosesWithoutInserting) {
    press(Qt::Key_Down);
    press(Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    platform.scheduler.advance(1s);
    EXPECT_TRUE(insertionCalls().empty());
}

TEST_F(PanelKeyboardTest, ScreenReadersHearNamesRolesAndStates) {
    const auto shown = rows();
    ASSERT_EQ(shown.size(), 2u);
    // Rows, days, buttons and headings are also read through the accessibility bus.
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(shown[1]);
    EXPECT_EQ(row->text(QAccessible::Description), QStringLiteral("déclencheur dtc, raccourci Ctrl+Alt+D"));
    EXPECT_EQ(spokenRole(panel->findChild<QWidget*>("formatRows")), QAccessible::Grouping);
    EXPECT_EQ(spokenName(panel->findChild<QWidget*>("formatRows")), QStringLiteral("Aujourd'hui"));
    EXPECT_EQ(spokenName(panel->findChild<Badge*>("betaBadge")), QStringLiteral("bêta"));

    // The toggle says whether the calendar is expanded, and pressing it through its action works.
    QAccessibleInterface* toggle = QAccessible::queryAccessibleInterface(part("calendarToggle"));
    EXPECT_TRUE(toggle->state().expanded);
    toggle->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(toggle->state().expanded);
    EXPECT_TRUE(toggle->state().collapsed);

    // Pressing a day through its action inserts it, as a click does.
    toggle->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QAccessibleInterface* day = QAccessible::queryAccessibleInterface(this->day("mardi 10 février 2026"));
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->text(QAccessible::Description), QStringLiteral("aujourd'hui"));
    day->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // Qt's buttons show the press for a moment before they click.
    QTRY_COMPARE(platform.pasteboard.describe(), std::string("2026-02-10"));
}

TEST_F(PanelKeyboardTest, ScreenReadersHearTheEnglishInterfaceAndDatesOfTheLocale) {
    const EnglishInterface english;
    panel.reset();
    // A key without a character is named in the interface's language.
    manager->setShortcuts({entry("ISO", "yyyy-MM-dd", "dt ", GlobalShortcut{36, modifier::kControl, "⌃↩"}),
                           manager->shortcuts().at(1)});
    showPanel();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(rows().at(0))->text(QAccessible::Description),
              QStringLiteral("trigger dt, shortcut Ctrl+Enter"));
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(rows().at(1));
    EXPECT_EQ(row->text(QAccessible::Description), QStringLiteral("trigger dtc, shortcut Ctrl+Alt+D"));
    EXPECT_EQ(spokenName(panel->findChild<QWidget*>("formatRows")), QStringLiteral("Today"));
    EXPECT_EQ(spokenName(panel->findChild<Badge*>("betaBadge")), QStringLiteral("beta"));
    EXPECT_EQ(spokenName(part("calendarToggle")), QStringLiteral("Pick a date"));
    QStringList buttons;
    for (QAbstractButton* button : shownChildren<QAbstractButton>(panel.get())) buttons << spokenName(button);
    for (const char* name : {"Preferences…", "Quit Orvalin", "Previous month", "Next month"})
        EXPECT_TRUE(buttons.contains(name)) << name;
    // The days keep the dates' locale; only the word around them changes.
    QAccessibleInterface* day = QAccessible::queryAccessibleInterface(this->day("mardi 10 février 2026"));
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->text(QAccessible::Description), QStringLiteral("today"));
}

}  // namespace
}  // namespace orvalin::ui
