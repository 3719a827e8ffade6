// The real program under Xvfb: keys go in through XTest, a real X client has the focus, and its
// text and the clipboard are read back.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "core/format_catalogue.h"
#include "core/json_file_preferences_store.h"
#include "e2e_desktop.h"
#include "support/process_cpu.h"

namespace orvalin::e2e {
namespace {

namespace fs = std::filesystem;

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // And a trigger with an accented letter, for the French layout.
        run_ = std::make_unique<ProgramUnderTest>([] {
            std::vector<Shortcut> formats = storeFormatsWithIsoOnControlAltD();
            formats.push_back(Shortcut{Uuid::generate(), "Accent", "yyyy/MM/dd ", "dté ", std::nullopt});
            JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
            FormatCatalogue catalogue(store);
            catalogue.mutableShortcuts() = formats;
            ASSERT_TRUE(catalogue.saveShortcuts());
        });
        target_ = &run_->target();
    }
    static void TearDownTestSuite() { run_.reset(); }
    void SetUp() override { ASSERT_TRUE(run_->readyForACase()); }

    static inline std::unique_ptr<ProgramUnderTest> run_;
    static inline Target* target_ = nullptr;
};

// Control and Alt stay down for a while after D: the paste waits for them, so the target sees a
// plain Control+V rather than Control+Alt+V; nothing typed before is erased.
TEST_F(EndToEnd, ACombinationInsertsWithoutErasingOnceItsModifiersAreReleased) {
    xdotool("key x keydown ctrl keydown alt key d");
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(target_->text(), "x");
    xdotool("keyup alt keyup ctrl");
    EXPECT_TRUE(target_->waitForText("x" + today("%Y-%m-%d "))) << target_->text();
    EXPECT_EQ(target_->chords(), "other-combination\nctrl+v\n");
    EXPECT_TRUE(clipboardComesBack());
    // No key is left down.
    keys("a");
    EXPECT_TRUE(target_->waitForText("x" + today("%Y-%m-%d ") + "a")) << target_->text();
}

TEST_F(EndToEnd, AnImageOnTheClipboardComesBackWithItsBytes) {
    fs::path png = run_->home.path() / "image.png";
    // A 1x1 PNG.
    run("printf "
        "'\\x89PNG\\r\\n\\x1a\\n\\0\\0\\0\\rIHDR\\0\\0\\0\\1\\0\\0\\0\\1\\x08\\x06\\0\\0\\0\\x1f\\x15\\xc4\\x"
        "89"
        "\\0\\0\\0\\rIDATx\\x9cc\\xf8\\xff\\xff?"
        "\\0\\x05\\xfe\\x02\\xfe\\xa7\\x35\\x81\\x84\\0\\0\\0\\0IEND\\xaeB`\\x82' > " +
        png.string());
    const std::string bytes = readFile(png);
    ASSERT_GT(bytes.size(), 60u);
    run("xclip -selection clipboard -t image/png -i " + png.string() + " >/dev/null 2>&1");
    auto image = [] { return capture("xclip -o -selection clipboard -t image/png 2>/dev/null"); };
    ASSERT_TRUE(waitUntil([&] { return image() == bytes; }, 5s));

    keys("d t space");
    EXPECT_TRUE(target_->waitForText(today("%Y-%m-%d "))) << target_->text();
    EXPECT_TRUE(waitUntil([&] { return image() == bytes; }, 5s));
    EXPECT_NE(capture("xclip -o -selection clipboard -t TARGETS").find("image/png"), std::string::npos);
}

// The keys are read, erased and pasted through another keymap, where an accented letter is a
// key of its own. The program learns of the new keymap from the server in its own time: the
// accented trigger is typed again until the program reads it through the new one.
TEST_F(EndToEnd, TheFrenchLayoutWorksForBuiltInTriggersAndAnAccentedOne) {
    ASSERT_EQ(run("setxkbmap -layout fr"), 0);
    EXPECT_TRUE(run_->waitUntilListening(*target_, "d t eacute space", 15s, today("%Y/%m/%d ")))
        << target_->text();
    EXPECT_TRUE(clipboardComesBack());
    target_->focusAndClear();
    xdotool("type --delay 40 'dt '");
    EXPECT_TRUE(target_->waitForText(today("%Y-%m-%d "))) << target_->text();
    EXPECT_TRUE(clipboardComesBack());
    ASSERT_EQ(run("setxkbmap -layout us"), 0);
    std::this_thread::sleep_for(300ms);
}

TEST_F(EndToEnd, TwoTriggersBackToBackKeepTheOriginalClipboard) {
    xdotool("type --delay 250 'dt dtc '");
    EXPECT_TRUE(target_->waitForText(today("%Y-%m-%d ") + today("%d/%m/%Y "))) << target_->text();
    EXPECT_TRUE(clipboardComesBack());

    // With a target that fetches late, the second trigger comes while the first restore is still
    // held back: the first date must not be taken for the user's content.
    Target slow(run_->home.path(), "slow2.txt", {"--paste-delay", "400"});
    ASSERT_TRUE(slow.started());
    slow.focusAndClear();
    xdotool("type --delay 250 'dt dt '");
    EXPECT_TRUE(slow.waitForText(today("%Y-%m-%d ") + today("%Y-%m-%d "))) << slow.text();
    EXPECT_TRUE(clipboardComesBack());
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(clipboardText(), kKnownText);
}

// A second start shows the running program's panel in the middle of the screen and leaves it the
// only instance. (A click on a row is proven on the first run, with the welcome window up.)
TEST_F(EndToEnd, ASecondStartShowsThePanelAndLeavesOneInstance) {
    ASSERT_TRUE(startASecondTime());
    EXPECT_TRUE(running(run_->orvalin));
    auto panel = waitForPanel();
    ASSERT_TRUE(panel.has_value()) << "no panel";
    EXPECT_EQ(panel->width, 320);
    EXPECT_GT(panel->height, 100);
    // The test server's screen is 1024x768.
    EXPECT_NEAR(panel->x + panel->width / 2, 512, 4);
    EXPECT_NEAR(panel->y + panel->height / 2, 384, 4);
    EXPECT_EQ(findVisibleWindow(kWelcomeName), "") << "the welcome window came although it was done with";
    keys("Escape");
    EXPECT_TRUE(waitUntilGone(kPanelName)) << "the panel stays";

    // One monitor only: the trigger gives one date, not two.
    target_->focusAndClear();
    keys("d t space");
    EXPECT_TRUE(target_->waitForText(today("%Y-%m-%d "))) << target_->text();
    std::this_thread::sleep_for(800ms);
    EXPECT_EQ(target_->text(), today("%Y-%m-%d "));
    EXPECT_TRUE(clipboardComesBack());
}

using EndToEndServer = FreshDesktop;

// A server without RECORD: the program keeps running without a monitor and says why once; when
// the server goes away, the program ends with an error status.
TEST_F(EndToEndServer, MissingRecordThenLostServer) {
    startServer({"-extension", "RECORD"});
    startProgram();
    ASSERT_TRUE(waitUntil([&] { return errors().find("RECORD") != std::string::npos; }, 20s)) << errors();
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(running(orvalin));
    const std::string said = errors();
    EXPECT_EQ(said.find("RECORD"), said.rfind("RECORD")) << said;

    server->stop();
    auto status = waitExit(orvalin, 15s);
    ASSERT_TRUE(status.has_value()) << "still running after the X server ended";
    EXPECT_NE(*status, 0);
    EXPECT_GT(*status, 0) << "ended by a signal";
}

// Without $XDG_RUNTIME_DIR the lock goes in a folder of the user's cache; when that folder is open to
// others the program does not start (a second instance would insert every date twice).
TEST_F(EndToEndServer, WithoutAPrivateInstanceFolderTheProgramRefusesToStart) {
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    const fs::path cache = home.path() / ".cache";
    const fs::path folder = cache / ("orvalin-runtime-" + std::string(host));
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::all);
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    startServer();
    startProgram();
    auto status = waitExit(orvalin, 30s);
    ::unsetenv("XDG_CACHE_HOME");
    ASSERT_TRUE(status.has_value()) << "running without its single-instance guard";
    EXPECT_EQ(*status, 1);
    EXPECT_NE(errors().find("only one instance"), std::string::npos) << errors();
    EXPECT_NE(errors().find("0777"), std::string::npos) << errors();
}

// Nothing runs on its own: waiting for keys costs no CPU, before the first one and after an insertion.
TEST_F(EndToEndServer, TheProgramRestsAfterItsStartAndAfterAnInsertion) {
    startServer();
    skipWelcome();
    ASSERT_TRUE(startAndWait());
    std::this_thread::sleep_for(1s);
    const long afterStart = ticksOver(orvalin);
    EXPECT_TRUE(atRest(afterStart)) << "CPU ticks over 3 s after the start: " << afterStart;
    Target target(home.path(), "rest.txt");
    ASSERT_TRUE(target.started());
    ASSERT_TRUE(waitUntilListening(target));
    std::this_thread::sleep_for(1s);  // the user's clipboard back
    const long afterInsertion = ticksOver(orvalin);
    EXPECT_TRUE(atRest(afterInsertion)) << "CPU ticks over 3 s after an insertion: " << afterInsertion;
}

// SIGTERM ends the program at once (well under the 1.8 s it once took, even with the sanitizers'
// exit checks) with status 0, and takes its instance socket away.
TEST_F(EndToEndServer, TerminationIsClean) {
    startServer();
    ASSERT_TRUE(startAndWait());
    std::this_thread::sleep_for(1s);  // idle
    const auto signalled = std::chrono::steady_clock::now();
    ::kill(orvalin, SIGTERM);
    auto status = waitExit(orvalin, 15s);
    ASSERT_TRUE(status.has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, 1500ms);
    EXPECT_EQ(*status, 0) << errors();
    EXPECT_FALSE(home.hasInstanceSocket());
    EXPECT_EQ(errors(), "");
}

}  // namespace
}  // namespace orvalin::e2e
