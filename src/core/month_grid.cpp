#include "core/month_grid.h"

#include <cmath>

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include "core/date_format.h"

namespace orvalin {

namespace {

// system_clock counts nanoseconds in 64 bits (about ±292 years around 1970); stay well inside.
constexpr double kLimitMillis = 9.0e12;

UDate toUDate(Instant instant) {
    return static_cast<UDate>(
        std::chrono::duration_cast<std::chrono::milliseconds>(instant.time_since_epoch()).count());
}

bool representable(UDate millis) {
    return std::isfinite(millis) && std::fabs(millis) < kLimitMillis;
}

Instant toInstant(UDate millis) {
    return Instant(std::chrono::duration_cast<Instant::duration>(
        std::chrono::milliseconds(static_cast<long long>(millis))));
}

int field(icu::Calendar& calendar, UCalendarDateFields which) {
    UErrorCode status = U_ZERO_ERROR;
    const int value = calendar.get(which, status);
    return U_SUCCESS(status) ? value : 0;
}

}  // namespace

struct MonthGrid::Impl {
    std::unique_ptr<icu::Calendar> prototype;

    // A copy of the calendar set to `instant`; none when the calendar could not be built.
    std::unique_ptr<icu::Calendar> at(Instant instant) const {
        if (!prototype) return nullptr;
        std::unique_ptr<icu::Calendar> calendar(prototype->clone());
        if (!calendar) return nullptr;
        UErrorCode status = U_ZERO_ERROR;
        calendar->setTime(toUDate(instant), status);
        if (U_FAILURE(status)) return nullptr;
        return calendar;
    }
};

MonthGrid::MonthGrid(const std::string& localeName, const std::string& timeZoneId)
    : localeName_(localeName), timeZoneId_(timeZoneId), impl_(std::make_unique<Impl>()) {
    UErrorCode status = U_ZERO_ERROR;
    icu::TimeZone* zone = timeZoneId.empty()
                              ? icu::TimeZone::detectHostTimeZone()
                              : icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(timeZoneId));
    impl_->prototype.reset(icu::Calendar::createInstance(
        zone, icu::Locale::createCanonical(usableLocaleName(localeName).c_str()), status));
    if (U_FAILURE(status)) impl_->prototype.reset();
}

MonthGrid::~MonthGrid() = default;

const MonthGrid& MonthGrid::current() {
    static const MonthGrid grid(currentLocaleName());
    return grid;
}

void MonthGrid::followHostZone() const {
    if (!timeZoneId_.empty() || !impl_->prototype) return;
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    if (!host || *host == impl_->prototype->getTimeZone()) return;
    impl_->prototype->adoptTimeZone(host.release());
}

Instant MonthGrid::startOfNextDay(Instant instant) const {
    auto calendar = impl_->at(instant);
    if (!calendar) return instant;
    calendar->set(UCAL_HOUR_OF_DAY, 0);
    calendar->set(UCAL_MINUTE, 0);
    calendar->set(UCAL_SECOND, 0);
    calendar->set(UCAL_MILLISECOND, 0);
    UErrorCode status = U_ZERO_ERROR;
    calendar->add(UCAL_DATE, 1, status);
    const UDate next = U_SUCCESS(status) ? calendar->getTime(status) : 0;
    return U_SUCCESS(status) && representable(next) ? toInstant(next) : instant;
}

int MonthGrid::firstWeekday() const {
    if (!impl_->prototype) return UCAL_SUNDAY;
    UErrorCode status = U_ZERO_ERROR;
    const UCalendarDaysOfWeek first = impl_->prototype->getFirstDayOfWeek(status);
    return U_SUCCESS(status) ? static_cast<int>(first) : UCAL_SUNDAY;
}

std::array<std::string, 7> MonthGrid::weekdayInitials() const {
    std::array<std::string, 7> initials;
    UErrorCode status = U_ZERO_ERROR;
    icu::DateFormatSymbols symbols(icu::Locale::createCanonical(usableLocaleName(localeName_).c_str()),
                                   status);
    if (U_FAILURE(status)) return initials;
    int32_t count = 0;
    // Index 0 is unused; 1 = Sunday … 7 = Saturday.
    const icu::UnicodeString* names =
        symbols.getWeekdays(count, icu::DateFormatSymbols::STANDALONE, icu::DateFormatSymbols::NARROW);
    if (names == nullptr || count < 8) return initials;
    const int first = firstWeekday();
    for (int i = 0; i < 7; ++i) names[1 + (first - 1 + i) % 7].toUTF8String(initials[i]);
    return initials;
}

std::vector<CalendarWeek> MonthGrid::monthWeeks(Instant month) const {
    std::vector<CalendarWeek> weeks;
    auto calendar = impl_->at(month);
    if (!calendar) return weeks;

    // Midnight of the month's first day.
    calendar->set(UCAL_DATE, 1);
    calendar->set(UCAL_HOUR_OF_DAY, 0);
    calendar->set(UCAL_MINUTE, 0);
    calendar->set(UCAL_SECOND, 0);
    calendar->set(UCAL_MILLISECOND, 0);
    UErrorCode status = U_ZERO_ERROR;
    const UDate first = calendar->getTime(status);
    if (U_FAILURE(status)) return weeks;

    const int lead = (field(*calendar, UCAL_DAY_OF_WEEK) - firstWeekday() + 7) % 7;
    status = U_ZERO_ERROR;
    int count = calendar->getActualMaximum(UCAL_DATE, status);
    if (U_FAILURE(status) || count < 1 || count > 31) count = 30;

    std::vector<std::optional<Instant>> days(static_cast<std::size_t>(lead));
    for (int k = 0; k < count; ++k) {
        status = U_ZERO_ERROR;
        calendar->setTime(first, status);
        calendar->add(UCAL_DATE, k, status);
        const UDate day = U_SUCCESS(status) ? calendar->getTime(status) : 0;
        if (U_SUCCESS(status) && representable(day)) {
            days.emplace_back(toInstant(day));
        } else {
            days.emplace_back(std::nullopt);
        }
    }
    while (days.size() % 7 != 0) days.emplace_back(std::nullopt);

    for (std::size_t start = 0; start < days.size(); start += 7) {
        CalendarWeek week;
        for (std::size_t i = 0; i < 7; ++i) week[i] = days[start + i];
        weeks.push_back(week);
    }
    return weeks;
}

std::string MonthGrid::weekNumberText(const CalendarWeek& week) const {
    for (const auto& day : week) {
        if (!day) continue;
        auto calendar = impl_->at(*day);
        if (!calendar) return {};
        return std::to_string(field(*calendar, UCAL_WEEK_OF_YEAR));
    }
    return {};
}

Instant MonthGrid::shiftMonth(Instant month, int n) const {
    auto calendar = impl_->at(month);
    if (!calendar) return month;
    UErrorCode status = U_ZERO_ERROR;
    calendar->add(UCAL_MONTH, n, status);
    if (U_FAILURE(status)) return month;
    const UDate shifted = calendar->getTime(status);
    if (U_FAILURE(status) || !representable(shifted)) return month;
    return toInstant(shifted);
}

std::string MonthGrid::monthTitle(Instant month) const {
    return format(month, "MMMM yyyy");
}

std::string MonthGrid::format(Instant instant, std::string_view pattern) const {
    return formatDate(instant, pattern, localeName_, timeZoneId_);
}

bool MonthGrid::isSameDay(Instant a, Instant b) const {
    auto first = impl_->at(a);
    auto second = impl_->at(b);
    if (!first || !second) return false;
    for (UCalendarDateFields which : {UCAL_ERA, UCAL_YEAR, UCAL_MONTH, UCAL_DATE}) {
        if (field(*first, which) != field(*second, which)) return false;
    }
    return true;
}

bool MonthGrid::isSameMonth(Instant a, Instant b) const {
    auto first = impl_->at(a);
    auto second = impl_->at(b);
    if (!first || !second) return false;
    for (UCalendarDateFields which : {UCAL_ERA, UCAL_YEAR, UCAL_MONTH}) {
        if (field(*first, which) != field(*second, which)) return false;
    }
    return true;
}

int MonthGrid::dayOfMonth(Instant day) const {
    auto calendar = impl_->at(day);
    return calendar ? field(*calendar, UCAL_DATE) : 0;
}

int MonthGrid::weekday(Instant day) const {
    auto calendar = impl_->at(day);
    return calendar ? field(*calendar, UCAL_DAY_OF_WEEK) : 0;
}

}  // namespace orvalin
