#include "core/date_locale.h"

#include <algorithm>
#include <string_view>

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/ures.h>

#include "core/date_format.h"

namespace orvalin {

namespace {

// What BCP 47 tags, POSIX names ("ca_ES.UTF-8@valencia") and ICU keywords are written with. ICU
// reads "en-US\n" or "de\0DE" as a language; they are not one.
bool looksLikeLocaleName(const std::string& name) {
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::string_view("-_.@=;+").find(c) != std::string_view::npos;
    });
}

// Both "en-US" and "de_DE.UTF-8" canonicalise to an ICU name ("en_US", "de_DE").
icu::Locale canonical(const std::string& name) {
    if (!looksLikeLocaleName(name)) {
        icu::Locale none;
        none.setToBogus();
        return none;
    }
    return icu::Locale::createCanonical(name.c_str());
}

bool hasData(const icu::Locale& locale) {
    if (locale.isBogus() || *locale.getLanguage() == '\0') return false;
    UErrorCode status = U_ZERO_ERROR;
    UResourceBundle* bundle = ures_open(nullptr, locale.getName(), &status);
    if (bundle != nullptr) ures_close(bundle);
    // The default warning: ICU found nothing for the language and fell back to another locale.
    return U_SUCCESS(status) && status != U_USING_DEFAULT_WARNING;
}

std::string ownName(const icu::Locale& locale) {
    icu::UnicodeString text;
    locale.getDisplayName(locale, text);
    std::string result;
    text.toUTF8String(result);
    return result;
}

}  // namespace

bool isKnownLocale(const std::string& name) {
    return !name.empty() && hasData(canonical(name));
}

std::string dateLocaleName(const std::string& requested) {
    if (requested.empty()) return currentLocaleName();
    const icu::Locale locale = canonical(requested);
    return hasData(locale) ? std::string(locale.getName()) : currentLocaleName();
}

std::string localeTag(const std::string& name) {
    if (!isKnownLocale(name)) return {};
    UErrorCode status = U_ZERO_ERROR;
    std::string tag = canonical(name).toLanguageTag<std::string>(status);
    return U_SUCCESS(status) ? tag : std::string();
}

std::string localeOwnName(const std::string& name) {
    const icu::Locale locale = canonical(name);
    return hasData(locale) ? ownName(locale) : name;
}

const std::vector<LocaleChoice>& availableDateLocales() {
    static const std::vector<LocaleChoice> choices = [] {
        std::vector<LocaleChoice> list;
        int32_t count = 0;
        const icu::Locale* locales = icu::DateFormat::getAvailableLocales(count);
        list.reserve(static_cast<std::size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            UErrorCode status = U_ZERO_ERROR;
            std::string tag = locales[i].toLanguageTag<std::string>(status);
            if (U_SUCCESS(status) && !tag.empty()) list.push_back({std::move(tag), ownName(locales[i])});
        }
        return list;
    }();
    return choices;
}

}  // namespace orvalin
