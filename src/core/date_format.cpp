#include "core/date_format.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace orvalin {

namespace {

constexpr const char* kPosixLocale = "en_US_POSIX";

const char* firstSetVariable() {
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return nullptr;
}

}  // namespace

std::string currentLocaleName() {
    const char* value = firstSetVariable();
    if (value == nullptr) return kPosixLocale;
    std::string name(value);
    // Drop the encoding and the modifier: "fr_FR.UTF-8@euro" -> "fr_FR".
    if (auto cut = name.find_first_of(".@"); cut != std::string::npos) name.resize(cut);
    if (name.empty() || name == "C" || name == "POSIX") return kPosixLocale;
    return usableLocaleName(name);
}

std::string usableLocaleName(const std::string& name) {
    if (icu::Locale::createCanonical(name.c_str()).isBogus()) return kPosixLocale;
    return name;
}

std::string formatDate(std::chrono::system_clock::time_point instant, std::string_view pattern) {
    return formatDate(instant, pattern, currentLocaleName());
}

namespace {

// system_clock counts nanoseconds in 64 bits (about ±292 years around 1970); stay well inside.
constexpr double kLimitMillis = 9.0e12;

icu::UnicodeString toIcu(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

// Asks the host each time rather than trusting ICU's cached default zone.
icu::TimeZone* zoneFor(const std::string& timeZoneId) {
    return timeZoneId.empty() ? icu::TimeZone::detectHostTimeZone()
                              : icu::TimeZone::createTimeZone(toIcu(timeZoneId));
}

// None only when ICU can build no formatter at all for the pattern.
std::unique_ptr<icu::SimpleDateFormat> makeFormatter(const icu::UnicodeString& pattern,
                                                     const std::string& localeName,
                                                     const std::string& timeZoneId) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale locale = icu::Locale::createCanonical(usableLocaleName(localeName).c_str());
    auto formatter = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
    if (U_FAILURE(status)) {
        // A locale asking for what ICU lacks (LC_TIME=en-u-nu-foo: no such digits) still gets a date.
        status = U_ZERO_ERROR;
        formatter = std::make_unique<icu::SimpleDateFormat>(pattern, icu::Locale("en_US_POSIX"), status);
        if (U_FAILURE(status)) return nullptr;
    }
    formatter->adoptTimeZone(zoneFor(timeZoneId));
    return formatter;
}

std::string formatWith(const icu::SimpleDateFormat& formatter,
                       std::chrono::system_clock::time_point instant) {
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(instant.time_since_epoch());
    icu::UnicodeString out;
    formatter.format(static_cast<UDate>(millis.count()), out);
    std::string result;
    out.toUTF8String(result);
    return result;
}

}  // namespace

std::string formatDate(std::chrono::system_clock::time_point instant, std::string_view pattern,
                       const std::string& localeName, const std::string& timeZoneId) {
    if (pattern.empty()) return {};
    auto formatter = makeFormatter(toIcu(pattern), localeName, timeZoneId);
    return formatter ? formatWith(*formatter, instant) : std::string();
}

std::chrono::system_clock::time_point addDays(std::chrono::system_clock::time_point instant, int days,
                                              const std::string& timeZoneId) {
    if (days == 0) return instant;
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(instant.time_since_epoch());
    const auto start = static_cast<UDate>(millis.count());
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(zoneFor(timeZoneId), icu::Locale::getRoot(), status);
    calendar.setTime(start, status);
    calendar.add(UCAL_DATE, days, status);
    const UDate moved = calendar.getTime(status);
    if (U_FAILURE(status) || !std::isfinite(moved) || std::fabs(moved) >= kLimitMillis) return instant;
    // The difference, so that the instant keeps its fraction of a millisecond.
    return instant + std::chrono::milliseconds(std::llround(moved - start));
}

struct DateRenderer::Formatters {
    std::map<std::string, std::unique_ptr<icu::SimpleDateFormat>, std::less<>> byLocale;
    std::map<int, std::chrono::system_clock::time_point> byDays;
};

DateRenderer::DateRenderer(std::chrono::system_clock::time_point instant, std::string localeName)
    : instant_(instant), localeName_(std::move(localeName)), formatters_(std::make_unique<Formatters>()) {}

DateRenderer::~DateRenderer() = default;

std::string DateRenderer::render(std::string_view pattern) {
    return render(pattern, localeName_, 0);
}

std::string DateRenderer::render(std::string_view pattern, const std::string& localeName, int days) {
    if (pattern.empty()) return {};
    const icu::UnicodeString icuPattern = toIcu(pattern);
    auto& formatter = formatters_->byLocale[localeName];
    if (!formatter) {
        formatter = makeFormatter(icuPattern, localeName, {});
        if (!formatter) return {};
    } else {
        formatter->applyPattern(icuPattern);
    }
    auto shifted = formatters_->byDays.find(days);
    if (shifted == formatters_->byDays.end())
        shifted = formatters_->byDays.emplace(days, addDays(instant_, days)).first;
    return formatWith(*formatter, shifted->second);
}

}  // namespace orvalin
