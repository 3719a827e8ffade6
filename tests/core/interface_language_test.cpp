#include <gtest/gtest.h>

#include "core/interface_language.h"
#include "support/scoped_env.h"

namespace orvalin {
namespace {

constexpr auto French = InterfaceLanguage::French;
constexpr auto English = InterfaceLanguage::English;

InterfaceLanguage messagesIn(std::string_view lcAll, std::string_view lcMessages, std::string_view lang,
                             std::string_view language = {}) {
    return interfaceLanguage({language, lcAll, lcMessages, lang});
}

TEST(InterfaceLanguage, FrenchLocalesShowFrenchAndEveryOtherLanguageEnglish) {
    for (const char* lang : {"fr", "fr_FR.UTF-8", "fr_CA.UTF-8", "fr_BE@euro", "fr_CH.ISO-8859-1"})
        EXPECT_EQ(messagesIn("", "", lang), French) << lang;
    for (const char* lang : {"en_US.UTF-8", "en_GB", "de_DE.UTF-8", "es_ES.UTF-8", "fy_NL", "frr_DE"})
        EXPECT_EQ(messagesIn("", "", lang), English) << lang;
}

TEST(InterfaceLanguage, LcAllThenLcMessagesThenLangDecide) {
    EXPECT_EQ(messagesIn("en_US.UTF-8", "fr_FR.UTF-8", "fr_FR.UTF-8"), English);
    EXPECT_EQ(messagesIn("", "fr_FR.UTF-8", "en_US.UTF-8"), French);
    EXPECT_EQ(messagesIn("", "en_US.UTF-8", "fr_FR.UTF-8"), English);
    EXPECT_EQ(messagesIn("fr_CA.UTF-8", "", "C"), French);
}

TEST(InterfaceLanguage, TheCLocaleIsEnglishWhateverLanguageAsks) {
    for (const char* locale : {"", "C", "POSIX", "C.UTF-8", "C.utf8"}) {
        EXPECT_EQ(messagesIn("", "", locale), English) << locale;
        EXPECT_EQ(messagesIn("", "", locale, "fr"), English) << "LANGUAGE is ignored under " << locale;
    }
    EXPECT_EQ(messagesIn("C", "", "fr_FR.UTF-8"), English) << "LC_ALL=C wins over LANG";
    EXPECT_EQ(messagesIn("", "C.UTF-8", "fr_FR.UTF-8", "fr"), English);
}

TEST(InterfaceLanguage, TheFirstFrenchOrEnglishEntryOfLanguageWins) {
    EXPECT_EQ(messagesIn("", "", "en_US.UTF-8", "fr"), French);
    EXPECT_EQ(messagesIn("", "", "fr_FR.UTF-8", "en_GB:fr"), English);
    EXPECT_EQ(messagesIn("", "", "en_US.UTF-8", "de_DE:de:fr_CA:en"), French);
    // No entry speaks either language, or the list is odd: the locale decides.
    EXPECT_EQ(messagesIn("", "", "fr_FR.UTF-8", "de:es"), French);
    EXPECT_EQ(messagesIn("", "", "de_DE.UTF-8", "de"), English);
    EXPECT_EQ(messagesIn("", "", "fr_FR.UTF-8", ":::"), French);
    EXPECT_EQ(messagesIn("", "", "fr_FR.UTF-8", "en:"), English);
}

TEST(InterfaceLanguage, ReadFromTheEnvironment) {
    ScopedEnv language("LANGUAGE", ""), all("LC_ALL", ""), messages("LC_MESSAGES", ""), lang("LANG", "C");
    all.unset();
    EXPECT_EQ(interfaceLanguage(MessageLocale::fromEnvironment()), English);
    lang.set("fr_FR.UTF-8");
    EXPECT_EQ(interfaceLanguage(MessageLocale::fromEnvironment()), French);
    language.set("en_US");
    EXPECT_EQ(interfaceLanguage(MessageLocale::fromEnvironment()), English);
    lang.set("de_DE.UTF-8");
    language.set("fr");
    EXPECT_EQ(interfaceLanguage(MessageLocale::fromEnvironment()), French);
    messages.set("C");
    EXPECT_EQ(interfaceLanguage(MessageLocale::fromEnvironment()), English);
    EXPECT_EQ(languageCode(French), "fr");
    EXPECT_EQ(languageCode(English), "en");
}

}  // namespace
}  // namespace orvalin
