#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "app/help_page.h"
#include "support/temp_dir.h"

namespace orvalin {
namespace {

namespace fs = std::filesystem;
constexpr auto French = InterfaceLanguage::French;
constexpr auto English = InterfaceLanguage::English;

TEST(HelpPage, FoundBesideTheBuiltProgramInEachLanguage) {
    const fs::path build = fs::path(ORVALIN_BINARY_DIR).parent_path().parent_path();
    for (auto [language, page, lang] : {std::tuple{French, "help/fr/index.html", "<html lang=\"fr\">"},
                                        std::tuple{English, "help/index.html", "<html lang=\"en\">"}}) {
        const std::string url = helpPageUrl(ORVALIN_BINARY_DIR, "https://example.org", language);
        ASSERT_EQ(url.rfind("file://", 0), 0u) << url;
        const fs::path file = url.substr(7);
        // The build's own copy, never the source tree's.
        EXPECT_EQ(file, build / "share/orvalin" / page) << url;
        std::ifstream in(file);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find(lang), std::string::npos) << url;
    }
}

TEST(HelpPage, FoundInAnInstallPrefixEvenWithSpacesOrElseOnTheWebSite) {
    const TempDir dir;
    const fs::path prefix = dir / "un préfixe #1";
    fs::create_directories(prefix / "bin");
    EXPECT_EQ(helpPageUrl(prefix / "bin", "https://example.org", French), "https://example.org/help");

    fs::create_directories(prefix / "share/orvalin/help");
    std::ofstream(prefix / "share/orvalin/help/index.html") << "<html></html>";
    const std::string url = helpPageUrl(prefix / "bin", "https://example.org", English);
    // Percent-encoded, so the '#' in the folder name is not taken for a fragment.
    EXPECT_EQ(url.find('#'), std::string::npos) << url;
    EXPECT_EQ(url.find(' '), std::string::npos) << url;
    EXPECT_NE(url.find("/share/orvalin/help/index.html"), std::string::npos) << url;
    // Without a French page the French interface opens the English one.
    EXPECT_EQ(helpPageUrl(prefix / "bin", "https://example.org", French), url);
    fs::create_directories(prefix / "share/orvalin/help/fr");
    std::ofstream(prefix / "share/orvalin/help/fr/index.html") << "<html></html>";
    EXPECT_NE(
        helpPageUrl(prefix / "bin", "https://example.org", French).find("/share/orvalin/help/fr/index.html"),
        std::string::npos);
    EXPECT_EQ(helpPageUrl(prefix / "bin", "https://example.org", English), url);
}

}  // namespace
}  // namespace orvalin
