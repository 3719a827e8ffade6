#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <string>

#include "core/month_grid.h"
#include "support/scoped_env.h"

namespace orvalin {
namespace {

using namespace std::chrono;

// Noon UTC lies on the same calendar day in Paris and New York.
Instant noon(year_month_day day) {
    return sys_days{day} + 12h;
}

// Empty places before the first day, days, empty places after the last day, rows.
struct Shape {
    int leading = 0;
    int days = 0;
    int trailing = 0;
    std::size_t rows = 0;
    bool operator==(const Shape&) const = default;
};
void PrintTo(const Shape& s, std::ostream* out) {
    *out << s.leading << "+" << s.days << "+" << s.trailing << " in " << s.rows << " rows";
}

Shape shapeOf(const std::vector<CalendarWeek>& weeks) {
    Shape shape;
    shape.rows = weeks.size();
    bool seenDay = false;
    for (const auto& week : weeks) {
        for (const auto& place : week) {
            if (place) {
                seenDay = true;
                ++shape.days;
                shape.trailing = 0;
            } else if (!seenDay) {
                ++shape.leading;
            } else {
                ++shape.trailing;
            }
        }
    }
    return shape;
}

class FrenchGrid : public ::testing::Test {
protected:
    MonthGrid grid{"fr_FR", "Europe/Paris"};
};

// Where a week starts, its initials, the months' shapes, week numbers and titles follow the locale.
TEST(MonthGridLocale, WeeksShapesNumbersAndTitlesFollowTheLocale) {
    MonthGrid french("fr_FR", "Europe/Paris");
    MonthGrid us("en_US", "America/New_York");
    EXPECT_EQ(french.firstWeekday(), 2);
    EXPECT_EQ(us.firstWeekday(), 1);
    EXPECT_EQ(french.weekdayInitials(), (std::array<std::string, 7>{"L", "M", "M", "J", "V", "S", "D"}));
    EXPECT_EQ(us.weekdayInitials(), (std::array<std::string, 7>{"S", "M", "T", "W", "T", "F", "S"}));
    // February 2026 begins on a Sunday, May 2026 on a Friday; February 2027 on a Monday and fills
    // exactly four rows with Monday first.
    EXPECT_EQ(shapeOf(french.monthWeeks(noon(2026y / February / 14))), (Shape{6, 28, 1, 5}));
    EXPECT_EQ(shapeOf(french.monthWeeks(noon(2026y / March / 1))), (Shape{6, 31, 5, 6}));
    EXPECT_EQ(shapeOf(french.monthWeeks(noon(2027y / February / 28))), (Shape{0, 28, 0, 4}));
    EXPECT_EQ(shapeOf(us.monthWeeks(noon(2026y / February / 1))), (Shape{0, 28, 0, 4}));
    EXPECT_EQ(shapeOf(us.monthWeeks(noon(2026y / May / 31))), (Shape{5, 31, 6, 6}));
    // Friday 1 January 2027 is in ISO week 53 of 2026; in the United States the week holding
    // 1 January is week 1.
    const auto january = french.monthWeeks(noon(2027y / January / 10));
    EXPECT_EQ(french.weekNumberText(january[0]), "53");
    EXPECT_EQ(french.weekNumberText(january[1]), "1");
    EXPECT_EQ(french.weekNumberText(CalendarWeek{}), "");
    EXPECT_EQ(us.weekNumberText(us.monthWeeks(noon(2027y / January / 10))[0]), "1");
    EXPECT_EQ(french.monthTitle(noon(2026y / February / 10)), "février 2026");
    EXPECT_EQ(us.monthTitle(noon(2026y / February / 10)), "February 2026");
    // What a screen reader says of a day of the calendar: in the calendar's locale, not the process's.
    EXPECT_EQ(french.format(noon(2026y / February / 10), "EEEE d MMMM yyyy"), "mardi 10 février 2026");
    EXPECT_EQ(us.format(noon(2026y / February / 10), "EEEE"), "Tuesday");
}

TEST_F(FrenchGrid, DaysAreConsecutiveMidnightsOfTheMonthOnly) {
    const auto weeks = grid.monthWeeks(noon(2026y / March / 20));
    int expectedDay = 1;
    for (const auto& week : weeks) {
        for (const auto& place : week) {
            if (!place) continue;
            EXPECT_EQ(grid.dayOfMonth(*place), expectedDay);
            EXPECT_TRUE(grid.isSameMonth(*place, noon(2026y / March / 20)));
            ++expectedDay;
        }
    }
    EXPECT_EQ(expectedDay, 32);
    // 1 March 2026 00:00 in Paris is 28 February 23:00 UTC.
    EXPECT_EQ(weeks[0][6], Instant(sys_days{2026y / February / 28} + 23h));
    // The day after the switch to summer time (29 March) still starts at midnight local time.
    EXPECT_EQ(weeks[5][0], Instant(sys_days{2026y / March / 29} + 22h));
}

TEST_F(FrenchGrid, SteppingMonthsClampsTheDayAndKeepsTheYearRight) {
    const Instant march31 = noon(2026y / March / 31);
    const Instant back = grid.shiftMonth(march31, -1);
    EXPECT_TRUE(grid.isSameMonth(back, noon(2026y / February / 1)));
    EXPECT_EQ(grid.dayOfMonth(back), 28);

    const std::pair<Instant, const char*> starts[] = {{march31, "mars 2027"},
                                                      {noon(2026y / January / 31), "janvier 2027"},
                                                      {noon(2026y / December / 15), "décembre 2027"}};
    for (const auto& [start, title] : starts) {
        Instant month = start;
        for (int i = 0; i < 12; ++i) month = grid.shiftMonth(month, 1);
        EXPECT_EQ(grid.monthTitle(month), title);
        EXPECT_TRUE(grid.isSameMonth(month, grid.shiftMonth(start, 12)));
    }
    EXPECT_TRUE(grid.isSameMonth(grid.shiftMonth(noon(2026y / December / 15), 1), noon(2027y / January / 1)));
    // Out of range: the month stays.
    EXPECT_EQ(grid.shiftMonth(march31, 2'000'000'000), march31);
    EXPECT_EQ(grid.shiftMonth(march31, -2'000'000'000), march31);
}

TEST_F(FrenchGrid, DayComparisonsAndWeekdays) {
    const Instant morning = sys_days{2026y / May / 9} + 6h;
    const Instant evening = sys_days{2026y / May / 9} + 21h;        // 23:00 in Paris, still 9 May
    const Instant night = sys_days{2026y / May / 9} + 22h + 30min;  // 00:30 on 10 May in Paris
    EXPECT_TRUE(grid.isSameDay(morning, evening));
    EXPECT_FALSE(grid.isSameDay(evening, night));
    EXPECT_EQ(grid.weekday(morning), 7);  // Saturday
    EXPECT_EQ(grid.weekday(night), 1);    // Sunday
    EXPECT_FALSE(grid.isSameMonth(noon(2026y / May / 9), noon(2025y / May / 9)));
}

TEST(MonthGridHostZone, FollowsTheZoneTheHostHasNowAndFindsTheNextMidnight) {
    ScopedEnv tz("TZ", "Asia/Tokyo");
    MonthGrid grid("fr_FR");
    grid.followHostZone();
    const Instant tenth = noon(2026y / February / 10);
    const auto firstOf = [&](Instant month) { return *grid.monthWeeks(month)[0][6]; };  // Sunday 1 Feb
    EXPECT_EQ(firstOf(tenth), sys_days{2026y / January / 31} + 15h) << "midnight in Tokyo";
    EXPECT_EQ(grid.startOfNextDay(tenth), sys_days{2026y / February / 10} + 15h);

    tz.set("America/Los_Angeles");
    grid.followHostZone();
    EXPECT_EQ(firstOf(tenth), sys_days{2026y / February / 1} + 8h) << "midnight in Los Angeles";
    EXPECT_EQ(grid.startOfNextDay(tenth), sys_days{2026y / February / 11} + 8h);
    EXPECT_EQ(grid.dayOfMonth(sys_days{2026y / February / 11} + 7h), 10);

    MonthGrid paris("fr_FR", "Europe/Paris");  // a zone given by name stays
    paris.followHostZone();
    EXPECT_EQ(paris.startOfNextDay(tenth), sys_days{2026y / February / 10} + 23h);
}

TEST(MonthGridLocale, UnknownLocaleStillGivesAUsableGrid) {
    MonthGrid grid("xx_NOWHERE", "Not/AZone");
    const auto weeks = grid.monthWeeks(noon(2026y / February / 10));
    EXPECT_GE(weeks.size(), 4u);
    EXPECT_LE(weeks.size(), 6u);
    EXPECT_EQ(shapeOf(weeks).days, 28);
    const auto initials = grid.weekdayInitials();
    EXPECT_TRUE(
        std::none_of(initials.begin(), initials.end(), [](const std::string& s) { return s.empty(); }));
}

}  // namespace
}  // namespace orvalin
