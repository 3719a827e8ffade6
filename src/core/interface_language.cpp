#include "core/interface_language.h"

#include <cstdlib>
#include <optional>

namespace orvalin {

namespace {

std::string_view variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The language part of a locale name: "fr" in "fr_CA.UTF-8@euro", "C" in "C.UTF-8".
std::string_view languagePart(std::string_view locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

bool isCLocale(std::string_view locale) {
    if (locale.empty() || locale == "POSIX") return true;
    return languagePart(locale) == "C";
}

// French or English when the locale names one of them, else nothing.
std::optional<InterfaceLanguage> spoken(std::string_view locale) {
    const std::string_view code = languagePart(locale);
    if (code == "fr") return InterfaceLanguage::French;
    if (code == "en") return InterfaceLanguage::English;
    return std::nullopt;
}

}  // namespace

MessageLocale MessageLocale::fromEnvironment() {
    return {variable("LANGUAGE"), variable("LC_ALL"), variable("LC_MESSAGES"), variable("LANG")};
}

InterfaceLanguage interfaceLanguage(const MessageLocale& locale) {
    std::string_view messages = locale.lcAll;
    if (messages.empty()) messages = locale.lcMessages;
    if (messages.empty()) messages = locale.lang;
    if (isCLocale(messages)) return InterfaceLanguage::English;
    std::string_view list = locale.language;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (auto language = spoken(list.substr(0, colon))) return *language;
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return spoken(messages).value_or(InterfaceLanguage::English);
}

std::string_view languageCode(InterfaceLanguage language) {
    return language == InterfaceLanguage::French ? "fr" : "en";
}

}  // namespace orvalin
