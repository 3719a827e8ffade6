#pragma once

#include <string_view>

namespace orvalin {

// The languages the interface speaks: French, its source, and English for everyone else.
enum class InterfaceLanguage { French, English };

// The variables that choose the language of messages, as gettext reads them. Empty means unset.
struct MessageLocale {
    std::string_view language;    // LANGUAGE: a colon-separated list of preferences
    std::string_view lcAll;       // LC_ALL
    std::string_view lcMessages;  // LC_MESSAGES
    std::string_view lang;        // LANG

    // This process's environment.
    static MessageLocale fromEnvironment();
};

// The locale of messages is the first set of LC_ALL, LC_MESSAGES and LANG. When it is the C
// locale (unset, "C", "POSIX", "C.UTF-8"…) the interface is English and LANGUAGE is ignored, as
// gettext does, so a program pinned to C gives the same output everywhere. Otherwise the first
// entry of LANGUAGE that is French or English decides, then the locale's own language: French for
// "fr", "fr_CA", "fr_FR.UTF-8@euro"…, English for any other.
InterfaceLanguage interfaceLanguage(const MessageLocale& locale);

// The two-letter code of the language ("fr", "en").
std::string_view languageCode(InterfaceLanguage language);

}  // namespace orvalin
