#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"

namespace orvalin {

// One row of the month grid: seven places, empty before the first and after the last day.
using CalendarWeek = std::array<std::optional<Instant>, 7>;

// The month arithmetic of the mini calendar, on ICU's calendar for one locale (first weekday,
// week rules, weekday names) and one time zone. Days are midnights in that zone. A grid made for
// the host's zone follows it when told to, as the date rendering does at every call.
class MonthGrid {
public:
    // An empty time zone id means the host's zone.
    explicit MonthGrid(const std::string& localeName, const std::string& timeZoneId = {});
    ~MonthGrid();
    MonthGrid(const MonthGrid&) = delete;
    MonthGrid& operator=(const MonthGrid&) = delete;

    // The user's calendar, built once at first use from the current locale and host zone.
    static const MonthGrid& current();

    // For a grid made for the host's zone: takes the zone the host has now (the user may change
    // it while the program runs). Cheap enough for once per redraw, not for every day.
    void followHostZone() const;
    // Midnight that ends the day holding `instant`; `instant` itself when it cannot be formed.
    Instant startOfNextDay(Instant instant) const;

    // 1 = Sunday … 7 = Saturday.
    int firstWeekday() const;
    // The seven narrow weekday initials, starting with the first weekday.
    std::array<std::string, 7> weekdayInitials() const;

    // The month containing `month`, as rows of seven places; no days of neighbouring months.
    std::vector<CalendarWeek> monthWeeks(Instant month) const;
    // Week-of-year of the row's first day, by this calendar's week rules; empty for an empty row.
    std::string weekNumberText(const CalendarWeek& week) const;
    // `n` months after `month`, the day clamped to the target month's length; `month` itself when
    // the result cannot be formed or leaves the representable range.
    Instant shiftMonth(Instant month, int n) const;
    // "MMMM yyyy" in this locale, letters as the locale writes them ("février 2026").
    std::string monthTitle(Instant month) const;
    // Any date pattern in this calendar's locale and zone ("EEEE d MMMM yyyy": "mardi 10 février 2026").
    std::string format(Instant instant, std::string_view pattern) const;

    bool isSameDay(Instant a, Instant b) const;
    // Same era, year and month.
    bool isSameMonth(Instant a, Instant b) const;
    int dayOfMonth(Instant day) const;
    // 1 = Sunday … 7 = Saturday.
    int weekday(Instant day) const;

private:
    struct Impl;

    std::string localeName_;
    std::string timeZoneId_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace orvalin
