// The first run of the real program under Xvfb: the welcome window comes with the panel and
// does not keep a panel click from pasting into the user's window; it is walked through with
// real clicks, and after a restart it stays away.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "core/preferences_store.h"
#include "e2e_desktop.h"
#include "e2e_support.h"

namespace orvalin::e2e {
namespace {

namespace fs = std::filesystem;

// Waits until the window's picture has changed from `before` (when given) and holds still, so
// a page that slides in is fully there. Its pixels, empty on time-out.
std::vector<std::uint32_t> settledPicture(const Geometry& area,
                                          const std::vector<std::uint32_t>& before = {}) {
    std::vector<std::uint32_t> last = screenPixels(area);
    std::vector<std::uint32_t> settled;
    waitUntil(
        [&] {
            std::this_thread::sleep_for(150ms);
            auto now = screenPixels(area);
            const bool still = !now.empty() && now == last;
            last = std::move(now);
            if (still && last != before) settled = last;
            return !settled.empty();
        },
        15s);
    return settled;
}

// The page's main button: the widest run of one saturated colour (the filled accent button;
// the trigger box and pills are pale, the dots and symbols small). Its centre on the screen.
std::optional<std::pair<int, int>> mainButtonCentre(const Geometry& area,
                                                    const std::vector<std::uint32_t>& pixels) {
    auto saturated = [](std::uint32_t rgb) {
        const int r = (rgb >> 16) & 0xff, g = (rgb >> 8) & 0xff, b = rgb & 0xff;
        return std::max({r, g, b}) - std::min({r, g, b}) > 80;
    };
    int bestLength = 0;
    int bestTop = -1, bestBottom = -1, bestX = 0;
    for (int y = 0; y < area.height; ++y) {
        const std::uint32_t* line = &pixels[static_cast<std::size_t>(y * area.width)];
        for (int x = 0; x < area.width;) {
            int end = x;
            while (end < area.width && line[end] == line[x] && saturated(line[x])) ++end;
            const int length = end - x;
            if (length >= 100 && length >= bestLength - 4) {
                if (length > bestLength + 4 || bestTop < 0) bestTop = y;
                bestLength = std::max(bestLength, length);
                bestBottom = y;
                bestX = x + length / 2;
            }
            x = std::max(end, x + 1);
        }
    }
    if (bestTop < 0) return std::nullopt;
    return std::pair{area.x + bestX, area.y + (bestTop + bestBottom) / 2};
}

// Each case on a fresh home, its own X server and its own start of the program.
class FirstRun : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = std::make_unique<TempHome>();
        home_->exportEnvironment();
        ::setenv("LANG", "C.UTF-8", 1);
        ::unsetenv("LC_ALL");
        server_ = std::make_unique<XServer>();
        ::setenv("DISPLAY", server_->display().c_str(), 1);
        startProgram();
        ASSERT_TRUE(home_->hasInstanceSocket()) << readFile(errFile()) << "\nX server: " << server_->log();
    }
    void TearDown() override {
        if (orvalin_ > 0) stop(orvalin_);
        server_.reset();
        home_.reset();
    }
    void startProgram() {
        orvalin_ = spawn({kOrvalin}, (home_->path() / "orvalin.out").string(), errFile().string());
        waitUntil([this] { return home_->hasInstanceSocket(); }, 30s);
    }
    fs::path errFile() const { return home_->path() / "orvalin.err"; }
    fs::path preferencesFile() const { return home_->path() / ".config" / "orvalin" / "preferences.json"; }

    std::unique_ptr<TempHome> home_;
    std::unique_ptr<XServer> server_;
    pid_t orvalin_ = -1;
};

TEST_F(FirstRun, TheWelcomeWindowComesWithThePanelAndARowStillPastesIntoTheUsersWindow) {
    EXPECT_EQ(findVisibleWindow(kWelcomeName), "") << "the welcome window came before the panel";
    Target target(home_->path(), "first.txt");
    ASSERT_TRUE(target.started());
    target.focusAndClear();
    setClipboardText("texte connu");
    run("xdotool mousemove 5 5 >/dev/null 2>&1");

    ASSERT_TRUE(startASecondTime());
    auto panel = waitForPanel();
    ASSERT_TRUE(panel.has_value()) << "no panel";
    ASSERT_TRUE(waitForWindow(kWelcomeName).has_value()) << "no welcome window";
    // The panel stays in front of the window it brought up, and the user's window keeps the
    // keyboard: the date goes there.
    auto iso = PanelRows(*panel).rowCentre(2);  // Court, Long, ISO
    ASSERT_TRUE(iso.has_value()) << "the ISO row was not found";
    clickAt(panel->x + panel->width - 60, *iso);
    EXPECT_TRUE(target.waitForText(today("%Y-%m-%d ")))
        << "the user's window holds \"" << target.text() << '"';
    EXPECT_EQ(target.chords(), "ctrl+v\n");
    EXPECT_TRUE(waitUntil([] { return clipboardText() == "texte connu"; }, 5s)) << clipboardText();
    EXPECT_FALSE(findVisibleWindow(kWelcomeName).empty()) << "the welcome window went away";
}

TEST_F(FirstRun, WalkingThroughWithClicksStoresThatItIsDoneAndARestartLeavesItAway) {
    ASSERT_TRUE(startASecondTime());
    ASSERT_TRUE(waitForPanel().has_value()) << "no panel";
    auto window = waitForWindow(kWelcomeName);
    ASSERT_TRUE(window.has_value()) << "no welcome window";
    EXPECT_EQ(window->width, 480);
    EXPECT_EQ(window->height, 420);
    keys("Escape");
    ASSERT_TRUE(waitUntil([] { return findVisibleWindow(kPanelName).empty(); }, 10s)) << "the panel stays";
    EXPECT_FALSE(
        JsonFilePreferencesStore(preferencesFile()).boolean(prefkey::kOnboardingCompleted).has_value());

    // Welcome, permission (the test server offers what is needed: "Continuer"), ready.
    std::vector<std::uint32_t> before;
    for (int page = 0; page < 3; ++page) {
        auto picture = settledPicture(*window, before);
        ASSERT_FALSE(picture.empty()) << "page " << page << " did not come";
        auto button = mainButtonCentre(*window, picture);
        ASSERT_TRUE(button.has_value()) << "no main button on page " << page;
        clickAt(button->first, button->second);
        before = std::move(picture);
    }
    EXPECT_TRUE(waitUntil([] { return findVisibleWindow(kWelcomeName).empty(); }, 10s))
        << "the window stays after the last button";
    EXPECT_EQ(JsonFilePreferencesStore(preferencesFile()).boolean(prefkey::kOnboardingCompleted),
              std::optional<bool>(true))
        << readFile(preferencesFile());

    // A new start of the program: the panel comes alone.
    stop(orvalin_);
    ASSERT_TRUE(waitUntil([this] { return !home_->hasInstanceSocket(); }, 10s));
    startProgram();
    ASSERT_TRUE(home_->hasInstanceSocket()) << readFile(errFile());
    ASSERT_TRUE(startASecondTime());
    ASSERT_TRUE(waitForPanel().has_value()) << "no panel after the restart";
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(findVisibleWindow(kWelcomeName), "") << "the welcome window came back";
    keys("Escape");
}

}  // namespace
}  // namespace orvalin::e2e
