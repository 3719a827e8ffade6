#include "platform/xdg_autostart_login_item.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace orvalin {
namespace {

namespace fs = std::filesystem;
using Status = LoginItemService::Status;

class AutostartTest : public ::testing::Test {
protected:
    std::string content() const { return readFile(file_); }
    void write(const std::string& text) {
        fs::create_directories(file_.parent_path());
        std::ofstream(file_) << text;
    }
    // An executable file at `path` (under the test's folder), standing for an installed program.
    fs::path program(const std::string& path) {
        fs::path p = dir_ / path;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "#!/bin/sh\n";
        fs::permissions(p, fs::perms::owner_all);
        return p;
    }

    // What desktops themselves check an entry with, where it is installed.
    void expectValidEntry() const {
        if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) return;
        const std::string command = "desktop-file-validate '" + file_.string() + "' 2>&1";
        std::string said;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[512];
            while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) said += buffer;
            EXPECT_EQ(::pclose(pipe), 0) << said << content();
        }
        EXPECT_EQ(said, "") << content();
    }

    TempDir temp_{"orvalin-autostart"};
    fs::path dir_ = temp_.path();
    fs::path file_ = dir_ / "autostart" / "orvalin.desktop";
};

TEST_F(AutostartTest, RegisterWritesAnEntryNamingTheBinaryAndUnregisterRemovesIt) {
    const fs::path binary = program("bin/orvalin");
    XdgAutostartLoginItem item(file_, binary);
    EXPECT_EQ(item.status(), Status::NotRegistered);
    EXPECT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.status(), Status::Enabled);
    const std::string entry = content();
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry.find("\nExec=" + binary.string() + "\n"), std::string::npos);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    expectValidEntry();
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
    const fs::path odd = program("my apps/\"o\"rval$in%1/orvalin");
    XdgAutostartLoginItem item(file_, odd);
    ASSERT_EQ(item.registerItem(), std::nullopt);
    EXPECT_EQ(item.status(), Status::Enabled) << content();
    EXPECT_NE(content().find("Exec=\"" + dir_.string() + "/my apps/"), std::string::npos) << content();
    EXPECT_NE(content().find("%%1"), std::string::npos) << content();
    expectValidEntry();
}

TEST_F(AutostartTest, ANewlineOrTabInThePathIsEscapedAndCannotAddAKey) {
    const fs::path odd = program("a\nHidden=true\nb\tc\r/orvalin");
    XdgAutostartLoginItem item(file_, odd);
    ASSERT_EQ(item.registerItem(), std::nullopt);
    std::istringstream lines(content());
    std::string line;
    while (std::getline(lines, line)) {
        EXPECT_NE(line.rfind("Hidden", 0), 0u) << "a key came from the path:\n" << content();
        EXPECT_EQ(line.find_first_of("\t\r"), std::string::npos) << content();
    }
    EXPECT_NE(content().find("a\\nHidden=true\\nb\\tc\\r/orvalin"), std::string::npos) << content();
    expectValidEntry();
    EXPECT_EQ(item.status(), Status::Enabled) << content();

    // Other control characters have no escape: such a path is refused and nothing is written.
    XdgAutostartLoginItem bell(file_, program("ring\a/orvalin"));
    ASSERT_EQ(item.unregisterItem(), std::nullopt);
    auto error = bell.registerItem();
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("contrôle"), std::string::npos) << *error;
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(AutostartTest, ABinaryReplacedWhileRunningIsNamedByItsRealPath) {
    // A running program whose file is then replaced, as a package upgrade does.
    const fs::path binary = dir_ / "bin" / "sleeper";
    fs::create_directories(binary.parent_path());
    fs::copy_file("/bin/sleep", binary);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(binary.c_str(), "sleeper", "30", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);
    const fs::path link = "/proc/" + std::to_string(pid) + "/exe";
    for (int i = 0; i < 200 && XdgAutostartLoginItem::executableBehind(link) != binary; ++i) ::usleep(10000);
    EXPECT_EQ(XdgAutostartLoginItem::executableBehind(link), binary);
    fs::path replacement = binary;
    replacement += ".new";
    fs::copy_file("/bin/sleep", replacement);
    fs::rename(replacement, binary);
    EXPECT_NE(fs::read_symlink(link).string().find("(deleted)"), std::string::npos);
    EXPECT_EQ(XdgAutostartLoginItem::executableBehind(link), binary);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

TEST_F(AutostartTest, AnEntrySwitchedOffNamingAnotherProgramOrAMissingOneIsNotEnabled) {
    const std::string binary = program("usr/bin/orvalin").string();
    XdgAutostartLoginItem item(file_, binary);
    write("[Desktop Entry]\nType=Application\nExec=" + binary + "\nHidden=true\n");
    EXPECT_EQ(item.status(), Status::NotRegistered);
    write("[Desktop Entry]\nExec=" + binary + "\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(item.status(), Status::NotRegistered);
    write("[Desktop Entry]\nExec=/usr/bin/something-else --flag\n");
    EXPECT_EQ(item.status(), Status::NotRegistered);
    // Keys of other groups do not count.
    write("[Other]\nExec=" + binary + "\n[Desktop Entry]\nExec=/usr/bin/true\n");
    EXPECT_EQ(item.status(), Status::NotRegistered);
    // The same program installed elsewhere (an older path) still counts as this program, as long
    // as it is there.
    const std::string older = program("home/u/bin/orvalin").string();
    write("[Desktop Entry]\nExec=" + older + "\nHidden=false\n");
    EXPECT_EQ(item.status(), Status::Enabled);
    fs::remove(older);
    EXPECT_EQ(item.status(), Status::NotFound);
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
    ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg-test");
    EXPECT_EQ(XdgAutostartLoginItem::defaultFile(), fs::path("/tmp/cfg-test/autostart/orvalin.desktop"));
    // A relative value is not a valid XDG directory: the home default applies.
    config.set("relative/dir");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(XdgAutostartLoginItem::defaultFile(),
              fs::path("/home/someone/.config/autostart/orvalin.desktop"));
    EXPECT_TRUE(XdgAutostartLoginItem::currentExecutable().is_absolute());
}

}  // namespace
}  // namespace orvalin
