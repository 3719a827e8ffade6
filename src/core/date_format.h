#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace orvalin {

// The ICU locale name for the user's current locale, from LC_ALL, LC_TIME, then LANG
// ("fr_FR.UTF-8" gives "fr_FR"; unset, "C" and "POSIX" give "en_US_POSIX", and so does a name
// ICU cannot use).
std::string currentLocaleName();

// `name` when ICU can build a locale from it, else "en_US_POSIX": ICU crashes on some patterns
// with a bogus locale, so no formatter or calendar is ever built on one.
std::string usableLocaleName(const std::string& name);

// Renders `instant` with a Unicode date pattern in the user's current locale and the system
// time zone. A fresh formatter each call, so locale and zone changes apply at once. Never fails:
// whatever text the formatter produces is returned, an empty pattern gives an empty text.
std::string formatDate(std::chrono::system_clock::time_point instant, std::string_view pattern);

// The same with an explicit ICU locale name and time zone id (tests and previews use it).
std::string formatDate(std::chrono::system_clock::time_point instant, std::string_view pattern,
                       const std::string& localeName, const std::string& timeZoneId = {});

// `instant` moved by `days` calendar days in the time zone (empty: the host's, asked now), at the
// same time of day: a day that changes to or from daylight-saving time is 23 or 25 hours long.
// `instant` itself when the result cannot be formed.
std::chrono::system_clock::time_point addDays(std::chrono::system_clock::time_point instant, int days,
                                              const std::string& timeZoneId = {});

// One instant in many patterns with a single formatter for the locale and time zone: a page of a
// hundred previews reads the locale's data and the zone once instead of once per pattern. Gives
// what formatDate gives for each pattern.
class DateRenderer {
public:
    explicit DateRenderer(std::chrono::system_clock::time_point instant,
                          std::string localeName = currentLocaleName());
    ~DateRenderer();
    DateRenderer(const DateRenderer&) = delete;
    DateRenderer& operator=(const DateRenderer&) = delete;

    std::string render(std::string_view pattern);
    // The instant `days` days on, in another locale; one formatter per locale, made at its first use.
    std::string render(std::string_view pattern, const std::string& localeName, int days);

private:
    struct Formatters;
    std::chrono::system_clock::time_point instant_;
    std::string localeName_;
    std::unique_ptr<Formatters> formatters_;
};

}  // namespace orvalin
