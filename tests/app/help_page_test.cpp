#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/help_page.h"
#include "support/temp_dir.h"

namespace orvalin {
namespace {

namespace fs = std::filesystem;

TEST(HelpPage, FoundBesideTheBuiltProgram) {
    const std::string url = helpPageUrl(ORVALIN_BINARY_DIR, "https://example.org");
    ASSERT_EQ(url.rfind("file://", 0), 0u) << url;
    const fs::path page = url.substr(7);
    EXPECT_TRUE(fs::is_regular_file(page)) << url;
    // The build's own copy, never the source tree's.
    EXPECT_EQ(page.string().find(fs::path(ORVALIN_BINARY_DIR).parent_path().parent_path().string()), 0u)
        << url;
}

TEST(HelpPage, FoundInAnInstallPrefixEvenWithSpacesOrElseOnTheWebSite) {
    const TempDir dir;
    const fs::path prefix = dir / "un préfixe #1";
    fs::create_directories(prefix / "bin");
    EXPECT_EQ(helpPageUrl(prefix / "bin", "https://example.org"), "https://example.org/help");

    fs::create_directories(prefix / "share/orvalin/help");
    std::ofstream(prefix / "share/orvalin/help/index.html") << "<html></html>";
    const std::string url = helpPageUrl(prefix / "bin", "https://example.org");
    // Percent-encoded, so the '#' in the folder name is not taken for a fragment.
    EXPECT_EQ(url.find('#'), std::string::npos) << url;
    EXPECT_EQ(url.find(' '), std::string::npos) << url;
    EXPECT_NE(url.find("/share/orvalin/help/index.html"), std::string::npos) << url;
}

}  // namespace
}  // namespace orvalin
