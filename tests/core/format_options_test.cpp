// A format's day offset and language: the date it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "core/date_format.h"
#include "core/date_locale.h"
#include "core/shortcut.h"
#include "support/locale_environment.h"

namespace orvalin {
namespace {

using namespace std::chrono;

Shortcut format(std::string pattern, int days, std::string locale = {}) {
    Shortcut s{Uuid::generate(), "F", std::move(pattern), "f ", std::nullopt};
    s.dayOffset = days;
    s.locale = std::move(locale);
    return s;
}

std::string iso(sys_days day, int days) {
    return format("yyyy-MM-dd", days).formattedDate(day + 12h, "UTC");
}

TEST(DayOffset, CountsCalendarDaysAcrossMonthsYearsAndLeapDays) {
    struct Case {
        sys_days from;
        int days;
        const char* expected;
    };
    const std::vector<Case> cases{
        {2026y / March / 20, 0, "2026-03-20"},        {2026y / January / 31, 1, "2026-02-01"},
        {2026y / March / 1, -1, "2026-02-28"},        {2026y / December / 31, 1, "2027-01-01"},
        {2027y / January / 1, -1, "2026-12-31"},      {2028y / February / 28, 1, "2028-02-29"},
        {2028y / February / 29, 1, "2028-03-01"},     {2028y / March / 1, -1, "2028-02-29"},
        {2027y / February / 28, 1, "2027-03-01"},     {2028y / February / 29, 365, "2029-02-28"},
        {2028y / February / 29, -1461, "2024-02-29"}, {2026y / March / 20, 3650, "2036-03-17"},
        {2026y / March / 20, -3650, "2016-03-22"},
    };
    for (const Case& c : cases) EXPECT_EQ(iso(c.from, c.days), c.expected) << c.expected;
}

// Paris leaves winter time on 29 March 2026 (a day of 23 hours) and comes back to it on 25
// October (25 hours); a day is never 24 hours counted from now.
TEST(DayOffset, DaylightSavingChangesMoveNeitherTheDayNorTheTime) {
    struct Case {
        sys_seconds utc;
        int days;
        const char* expected;
    };
    const std::vector<Case> cases{
        {sys_days{2026y / March / 28} + 22h + 30min, 1, "2026-03-29 23:30"},  // Saturday 23:30
        {sys_days{2026y / March / 28} + 22h + 30min, 7, "2026-04-04 23:30"},
        {sys_days{2026y / March / 29} + 22h + 30min, -1, "2026-03-29 00:30"},   // Monday 00:30
        {sys_days{2026y / October / 24} + 22h + 30min, 1, "2026-10-26 00:30"},  // Sunday 00:30
        {sys_days{2026y / October / 24} + 21h + 30min, 1, "2026-10-25 23:30"},  // Saturday 23:30
    };
    for (const Case& c : cases) {
        EXPECT_EQ(format("yyyy-MM-dd HH:mm", c.days).formattedDate(c.utc, "Europe/Paris"), c.expected)
            << c.expected;
    }
}

TEST(DayOffset, ValuesBeyondTenYearsCountAsNone) {
    for (int days : {3651, -3651, INT_MAX, INT_MIN}) {
        EXPECT_EQ(iso(2026y / March / 20, days), "2026-03-20") << days;
        EXPECT_EQ(format("d", days).effectiveDayOffset(), 0);
    }
}

// Today is the host's, asked at each call: the offset counts from the day it is there now.
TEST(DayOffset, FollowsTheHostTimeZone) {
    const auto lateEvening = sys_days{2026y / March / 20} + 23h + 30min;  // UTC
    const Shortcut tomorrow = format("yyyy-MM-dd", 1);
    ScopedEnv zone("TZ", "UTC");
    EXPECT_EQ(tomorrow.formattedDate(lateEvening), "2026-03-21");
    zone.set("Asia/Tokyo");  // already Saturday morning
    EXPECT_EQ(tomorrow.formattedDate(lateEvening), "2026-03-22");
    zone.set("America/Los_Angeles");
    EXPECT_EQ(tomorrow.formattedDate(lateEvening), "2026-03-21");
}

const auto kMarch20 = sys_days{2026y / March / 20} + 12h;

TEST_F(LocaleEnvironment, EachFormatWritesInItsLanguageAndUnknownOnesInTheUsers) {
    const std::string pattern = "EEEE d MMMM yyyy";
    setenv("LANG", "fr_FR.UTF-8", 1);
    const std::vector<std::pair<std::string, std::string>> known{
        {"", "vendredi 20 mars 2026"},     {"en-US", "Friday 20 March 2026"},
        {"de_DE", "Freitag 20 März 2026"}, {"de_DE.UTF-8", "Freitag 20 März 2026"},
        {"es", "viernes 20 marzo 2026"},
    };
    for (const auto& [locale, expected] : known)
        EXPECT_EQ(format(pattern, 0, locale).formattedDate(kMarch20, "UTC"), expected) << locale;

    std::vector<std::string> unknown{"xx", "zz-ZZ", "!!!", "C", "und", "x-private", "-", "_", "en-US\n"};
    unknown.insert(unknown.end(), {std::string(300, 'a'), std::string("de\0DE", 5)});
    for (const std::string& locale : unknown) {
        EXPECT_EQ(format(pattern, 0, locale).formattedDate(kMarch20, "UTC"), "vendredi 20 mars 2026")
            << locale;
        EXPECT_FALSE(isKnownLocale(locale)) << locale;
    }
    // The user's language, whatever it is, not a fixed one.
    setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(format(pattern, 0, "xx").formattedDate(kMarch20, "UTC"), "Friday 20 March 2026");
    EXPECT_EQ(format(pattern, -1, "de").formattedDate(kMarch20, "UTC"), "Donnerstag 19 März 2026");
}

TEST_F(LocaleEnvironment, APreviewRendererWritesWhatEachFormatInserts) {
    setenv("LANG", "fr_FR.UTF-8", 1);
    const std::vector<Shortcut> formats{format("EEEE d MMMM", 1, "en-US"), format("EEEE d MMMM", 0),
                                        format("EEEE d MMMM", -1, "xx"), format("EEEE d MMMM", 3651, "de"),
                                        format("EEEE d MMMM", 1, "de")};
    DateRenderer renderer(kMarch20);
    for (const Shortcut& s : formats) EXPECT_EQ(s.formattedDate(renderer), s.formattedDate(kMarch20));
    EXPECT_EQ(formats[0].formattedDate(renderer), "Saturday 21 March");
}

TEST(DateLocales, TheListNamesEachLanguageInItselfAndTagsMatchWhatIsStored) {
    const auto& list = availableDateLocales();
    const auto has = [&](const std::string& tag, const std::string& name) {
        return std::any_of(list.begin(), list.end(),
                           [&](const LocaleChoice& c) { return c.tag == tag && c.ownName == name; });
    };
    EXPECT_GT(list.size(), 100u);
    EXPECT_TRUE(has("en-US", "English (United States)"));
    EXPECT_TRUE(has("de-DE", "Deutsch (Deutschland)"));
    EXPECT_TRUE(has("fr", "français"));
    EXPECT_TRUE(
        std::all_of(list.begin(), list.end(), [](const LocaleChoice& c) { return isKnownLocale(c.tag); }));

    EXPECT_EQ(localeTag("de_DE"), "de-DE");
    EXPECT_EQ(localeTag("en-US"), "en-US");
    EXPECT_EQ(localeTag("fr_FR.UTF-8"), "fr-FR");
    EXPECT_EQ(localeTag("xx"), "");
    EXPECT_EQ(localeOwnName("de_DE"), "Deutsch (Deutschland)");
    EXPECT_EQ(localeOwnName("xx"), "xx");
}

}  // namespace
}  // namespace orvalin
