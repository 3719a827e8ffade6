#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/application_runtime.h"

namespace orvalin {
namespace {

// The permission help must lead to a page that exists and to the section about the X extensions.
TEST(PermissionHelp, UrlNamesTheReadmeSectionOnTheNeededExtensions) {
    const std::string url = ApplicationRuntime::permissionHelpUrl();
    ASSERT_EQ(url.rfind("file://", 0), 0u) << url;
    const auto hash = url.find('#');
    ASSERT_NE(hash, std::string::npos) << url;
    const std::filesystem::path page = url.substr(7, hash - 7);
    std::ifstream in(page);
    ASSERT_TRUE(in) << page;
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(url.substr(hash + 1), "permissions-on-x11");
    EXPECT_NE(text.find("\n## Permissions on X11\n"), std::string::npos);
}

}  // namespace
}  // namespace orvalin
