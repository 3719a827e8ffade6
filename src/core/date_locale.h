#pragma once

#include <string>
#include <vector>

namespace orvalin {

// The ICU locale name a format's date is written in. `requested` is a BCP 47 tag ("en-US") or a
// POSIX name ("de_DE", "de_DE.UTF-8"); empty, or naming a language ICU has no data for ("xx",
// "!!"), it gives the user's current locale.
std::string dateLocaleName(const std::string& requested);

// Whether ICU has data for the language `name` names.
bool isKnownLocale(const std::string& name);

// `name` as a BCP 47 tag ("de_DE" gives "de-DE"); empty when it names no known locale.
std::string localeTag(const std::string& name);

// `name`'s language as written in that language ("Deutsch (Deutschland)"); `name` itself when
// ICU does not know it.
std::string localeOwnName(const std::string& name);

struct LocaleChoice {
    std::string tag;      // BCP 47
    std::string ownName;  // as the language writes itself
};

// Every locale ICU can write dates in, in ICU's order; the same list each call.
const std::vector<LocaleChoice>& availableDateLocales();

}  // namespace orvalin
