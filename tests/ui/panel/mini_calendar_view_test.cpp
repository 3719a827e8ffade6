#include "ui/panel/mini_calendar_view.h"
#include "support/tray_fixture.h"
#include "ui/widgets/appearance.h"
#include "ui/panel/calendar_day_cell.h"
#include "ui/widgets/glyph_button.h"

namespace orvalin::ui {
namespace {

class CalendarViewTest : public TrayTest {
protected:
    MiniCalendarView& makeView(Instant now = kNow) {
        today = now;
        view = std::make_unique<MiniCalendarView>([this](Instant day) { picked.push_back(day); }, nullptr,
                                                  grid, [this] { return today; });
        view->resize(300, 260);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        return *view;
    }

    Instant today;
    std::unique_ptr<MiniCalendarView> view;
    std::vector<Instant> picked;
};

TEST_F(CalendarViewTest, HeadingAndGridFollowTheFrenchCalendar) {
    MiniCalendarView& v = makeView();
    EXPECT_EQ(v.monthTitleText(), QStringLiteral("février 2026"));
    EXPECT_EQ(v.weekdayHeadings(), (QStringList{"L", "M", "M", "J", "V", "S", "D"}));
    ASSERT_EQ(v.rowCount(), 5);
    // Sunday 1 February sits in the last column of the first row, after six empty places.
    for (int column = 0; column < 6; ++column) EXPECT_FALSE(v.cellAt(0, column)->day().has_value());
    ASSERT_TRUE(v.cellAt(0, 6)->day().has_value());
    EXPECT_EQ(v.cellAt(0, 6)->day()->dayOfMonth, 1);
    EXPECT_EQ(v.weekNumberOfRow(0), "5");
    EXPECT_EQ(v.cellAt(4, 5)->day()->dayOfMonth, 28);
    EXPECT_FALSE(v.cellAt(4, 6)->day().has_value());
}

TEST_F(CalendarViewTest, StepsMonthsAndShowsWeek53) {
    MiniCalendarView& v = makeView();
    v.shiftMonth(11);
    EXPECT_EQ(v.monthTitleText(), QStringLiteral("janvier 2027"));
    EXPECT_EQ(v.weekNumberOfRow(0), "53");
    QTest::mouseClick(v.previousButton(), Qt::LeftButton);
    EXPECT_EQ(v.monthTitleText(), QStringLiteral("décembre 2026"));
    QTest::mouseClick(v.nextButton(), Qt::LeftButton);
    QTest::mouseClick(v.nextButton(), Qt::LeftButton);
    EXPECT_EQ(v.monthTitleText(), QStringLiteral("février 2027"));
    EXPECT_EQ(v.rowCount(), 4);
    EXPECT_TRUE(picked.empty());
}

TEST_F(CalendarViewTest, DayColoursFollowTodaySelectionAndWeekends) {
    MiniCalendarView& v = makeView();
    const QPalette palette = v.palette();
    CalendarDayCell* todayCell = v.cellForDay(10);
    CalendarDayCell* saturday = v.cellForDay(14);
    CalendarDayCell* sunday = v.cellForDay(15);
    CalendarDayCell* monday = v.cellForDay(16);
    ASSERT_TRUE(todayCell && saturday && sunday && monday);

    EXPECT_TRUE(todayCell->day()->isToday);
    EXPECT_TRUE(todayCell->drawsRing());
    EXPECT_EQ(todayCell->textColor(), accentColor(palette));
    EXPECT_EQ(saturday->textColor(), weekendRed(palette));
    EXPECT_EQ(sunday->textColor(), weekendRed(palette));
    EXPECT_EQ(monday->textColor(), palette.color(QPalette::Active, QPalette::WindowText));
    EXPECT_FALSE(monday->drawsFilledDisc());

    QTest::mouseClick(saturday, Qt::LeftButton);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(grid.dayOfMonth(picked[0]), 14);
    ASSERT_TRUE(v.selectedDate().has_value());
    EXPECT_TRUE(grid.isSameDay(*v.selectedDate(), picked[0]));
    saturday = v.cellForDay(14);
    EXPECT_TRUE(saturday->drawsFilledDisc());
    EXPECT_EQ(saturday->textColor(), QColor(Qt::white));

    // Selecting today: the filled disc wins over the ring.
    QTest::mouseClick(v.cellForDay(10), Qt::LeftButton);
    EXPECT_TRUE(v.cellForDay(10)->drawsFilledDisc());
    EXPECT_FALSE(v.cellForDay(10)->drawsRing());
    EXPECT_FALSE(v.cellForDay(14)->drawsFilledDisc());
}

TEST_F(CalendarViewTest, HidingForgetsTheMonthAndTheSelection) {
    MiniCalendarView& v = makeView();
    v.shiftMonth(-4);
    QTest::mouseClick(v.cellForDay(2), Qt::LeftButton);
    ASSERT_TRUE(v.selectedDate().has_value());
    v.hide();
    v.show();
    EXPECT_EQ(v.monthTitleText(), QStringLiteral("février 2026"));
    EXPECT_FALSE(v.selectedDate().has_value());
    for (int row = 0; row < v.rowCount(); ++row) {
        for (int column = 0; column < 7; ++column) EXPECT_FALSE(v.cellAt(row, column)->drawsFilledDisc());
    }
}

TEST_F(CalendarViewTest, EmptyPlacesIgnoreClicks) {
    MiniCalendarView& v = makeView();
    QTest::mouseClick(v.cellAt(0, 0), Qt::LeftButton);
    EXPECT_TRUE(picked.empty());
    EXPECT_FALSE(v.selectedDate().has_value());
}

}  // namespace
}  // namespace orvalin::ui
