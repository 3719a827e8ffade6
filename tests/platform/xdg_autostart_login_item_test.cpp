#include "platform/xdg_autostart_login_item.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace orvalin {
namespace {

namespace fs = std::filesystem;
using Status = LoginItemService::Status;

class AutostartTest : public ::testing::Test {
protected:
    std::string content() const {
        std::ifstream in(file_);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void write(const std::string& text) {
        fs::create_directories(file_.parent_path());
        std::ofstream(file_) << text;
    }

    TempDir temp_{"orvalin-autostart"};
    fs::path dir_ = temp_.path();
    fs::path file_ = dir_ / "autostart" / "orvalin.desktop";
};

TEST_F(AutostartTest, RegisterWritesAnEntryNamingTheBinaryAndUnregisterRemovesIt) {
    XdgAutostartLoginItem item(file_, "/usr/local/bin/orvalin");
    EXPECT_EQ(item.status(), Status::NotRegistered);
    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.status(), Status::Enabled);
    const std::string entry = content();
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry.find("\nExec=/usr/local/bin/orvalin\n"), std::string::npos);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    // Registering again replaces the file rather than failing.
    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_FALSE(fs::exists(file_.string() + ".tmp"));

    EXPECT_EQ(item.unregisterItem(), std::nullopt);
    EXPECT_FALSE(fs::exists(file_));
    EXPECT_EQ(item.status(), Status::NotRegistered);
    // Nothing to remove is not an error.
    EXPECT_EQ(item.unregisterItem(), std::nullopt);
}

TEST_F(AutostartTest, APathWithSpacesQuotesAndPercentSurvivesTheRoundTrip) {
    const fs::path odd = "/opt/my apps/\"o\"rval$in%1/orvalin";
    XdgAutostartLoginItem item(file_, odd);
    ASSERT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.status(), Status::Enabled) << content();
    EXPECT_NE(content().find("Exec=\"/opt/my apps/"), std::string::npos) << content();
    EXPECT_NE(content().find("%%1"), std::string::npos) << content();
}

TEST_F(AutostartTest, AnEntrySwitchedOffOrNamingAnotherProgramIsNotEnabled) {
    XdgAutostartLoginItem item(file_, "/usr/bin/orvalin");
    write("[Desktop Entry]\nType=Application\nExec=/usr/bin/orvalin\nHidden=true\n");
    EXPECT_EQ(item.status(), Status::NotRegistered);
    write("[Desktop Entry]\nExec=/usr/bin/orvalin\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(item.status(), Status::NotRegistered);
    write("[Desktop Entry]\nExec=/usr/bin/something-else --flag\n");
    EXPECT_EQ(item.status(), Status::NotRegistered);
    // Keys of other groups do not count.
    write("[Other]\nExec=/usr/bin/orvalin\n[Desktop Entry]\nExec=/usr/bin/true\n");
    EXPECT_EQ(item.status(), Status::NotRegistered);
    // The same program installed elsewhere (an older path) still counts as this program.
    write("[Desktop Entry]\nExec=/home/u/bin/orvalin\nHidden=false\n");
    EXPECT_EQ(item.status(), Status::Enabled);
}

TEST_F(AutostartTest, AFailureGivesTheSystemsErrorTextAndChangesNothing) {
    // A plain file where the autostart directory should be.
    fs::create_directories(dir_);
    std::ofstream(dir_ / "autostart") << "not a directory";
    XdgAutostartLoginItem item(file_, "/usr/bin/orvalin");
    auto error = item.registerItem();
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->empty());
    EXPECT_EQ(item.status(), Status::NotRegistered);
}

TEST(AutostartDefaults, TheFileFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old != nullptr ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg-test", 1);
    EXPECT_EQ(XdgAutostartLoginItem::defaultFile(), fs::path("/tmp/cfg-test/autostart/orvalin.desktop"));
    // A relative value is not a valid XDG directory: the home default applies.
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(XdgAutostartLoginItem::defaultFile(), fs::path("/home/someone/.config/autostart/orvalin.desktop"));
    if (old != nullptr) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(XdgAutostartLoginItem::currentExecutable().is_absolute());
}

}  // namespace
}  // namespace orvalin
