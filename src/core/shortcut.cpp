#include "core/shortcut.h"

#include <nlohmann/json.hpp>

#include "core/date_format.h"
#include "core/date_locale.h"

namespace orvalin {

namespace {

void forgetKept(std::string& kept, const char* key) {
    if (kept.empty()) return;
    nlohmann::json members = nlohmann::json::parse(kept, nullptr, /*allow_exceptions=*/false);
    if (!members.is_object() || members.erase(key) == 0) return;
    kept = members.empty() ? std::string() : members.dump();
}

}  // namespace

int Shortcut::effectiveDayOffset() const {
    return dayOffset >= -kMaxDayOffset && dayOffset <= kMaxDayOffset ? dayOffset : 0;
}

std::string Shortcut::localeName() const {
    return dateLocaleName(locale);
}

std::string Shortcut::formattedDate(std::chrono::system_clock::time_point now,
                                    const std::string& timeZoneId) const {
    return formatDate(addDays(now, effectiveDayOffset(), timeZoneId), dateFormat, localeName(), timeZoneId);
}

std::string Shortcut::formattedDate(DateRenderer& renderer) const {
    return renderer.render(dateFormat, localeName(), effectiveDayOffset());
}

void Shortcut::setDayOffset(int days) {
    dayOffset = days;
    forgetKept(keptMembers, "dayOffset");
}

void Shortcut::setLocale(std::string name) {
    locale = std::move(name);
    forgetKept(keptMembers, "locale");
}

}  // namespace orvalin
