// The first run of the real program under Xvfb: the welcome window comes with the panel and
// does not keep a panel click from pasting into the user's window, nor keeps the keys typed the
// moment it loses the focus; it is walked through with real key presses, and after a restart it
// stays away.
#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "core/json_file_preferences_store.h"
#include "e2e_desktop.h"

namespace orvalin::e2e {
namespace {

std::optional<bool> storedAsDone() {
    return JsonFilePreferencesStore(JsonFilePreferencesStore::defaultPath())
        .boolean(prefkey::kOnboardingCompleted);
}

// Each case on a fresh home, its own X server and its own start of the program.
class FirstRun : public FreshDesktop {
protected:
    void SetUp() override {
        startServer();
        ASSERT_TRUE(startAndWait()) << errors() << "\nX server: " << server->log();
    }
};

TEST_F(FirstRun, TheWelcomeWindowComesWithThePanelAndARowStillPastesIntoTheUsersWindow) {
    EXPECT_EQ(findVisibleWindow(kWelcomeName), "") << "the welcome window came before the panel";
    Target target(home.path(), "first.txt");
    ASSERT_TRUE(target.started());
    target.focusAndClear();
    setClipboardText(kKnownText);
    xdotool("mousemove 5 5");

    ASSERT_TRUE(startASecondTime());
    auto panel = waitForPanel();
    ASSERT_TRUE(panel.has_value()) << "no panel";
    ASSERT_TRUE(waitForWindow(kWelcomeName).has_value()) << "no welcome window";
    // The panel stays in front of the window it brought up, and the user's window keeps the
    // keyboard: the date goes there.
    ASSERT_TRUE(clickPanelRow(*panel, 2)) << "the ISO row was not found";  // Court, Long, ISO
    EXPECT_TRUE(target.waitForText(today("%Y-%m-%d ")))
        << "the user's window holds \"" << target.text() << '"' << errors();
    EXPECT_TRUE(waitUntilGone(kPanelName)) << "the panel stays after the click";
    EXPECT_EQ(target.chords(), "ctrl+v\n");
    EXPECT_TRUE(clipboardComesBack());
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(target.text(), today("%Y-%m-%d ")) << "a second paste came";
    EXPECT_FALSE(findVisibleWindow(kWelcomeName).empty()) << "the welcome window went away";
}

TEST_F(FirstRun, ATriggerTypedTheMomentTheFocusLeavesTheWelcomeWindowExpands) {
    Target target(home.path(), "after-welcome.txt");
    ASSERT_TRUE(target.started());
    ASSERT_TRUE(waitUntilListening(target)) << target.text() << errors();
    target.focusAndClear();
    ASSERT_TRUE(startASecondTime());
    ASSERT_TRUE(waitForPanel().has_value()) << "no panel";
    ASSERT_TRUE(waitForWindow(kWelcomeName).has_value()) << "no welcome window";
    keys("Escape");
    ASSERT_TRUE(waitUntilGone(kPanelName)) << "the panel stays";
    EXPECT_TRUE(aTriggerTypedRightAfterLeavingExpands(kWelcomeName, target)) << errors();
}

TEST_F(FirstRun, WalkingThroughStoresThatItIsDoneAndARestartLeavesItAway) {
    ASSERT_TRUE(startASecondTime());
    ASSERT_TRUE(waitForPanel().has_value()) << "no panel";
    auto window = waitForWindow(kWelcomeName);
    ASSERT_TRUE(window.has_value()) << "no welcome window";
    EXPECT_EQ(window->width, 480);
    EXPECT_EQ(window->height, 420);
    keys("Escape");
    ASSERT_TRUE(waitUntilGone(kPanelName)) << "the panel stays";
    EXPECT_FALSE(storedAsDone().has_value());

    // Welcome, permission (the test server offers what is needed: "Continuer"), ready: Enter
    // presses each page's main button, the keyboard moving to the next page's as it slides in.
    // Each page is pressed once it has come to rest, and a press must change what the window shows.
    focusWindow(kWelcomeName);
    auto picture = [&] { return screenPixels(*window); };
    for (int page = 1; page <= 3; ++page) {
        ASSERT_FALSE(findVisibleWindow(kWelcomeName).empty()) << "the window went before page " << page;
        const auto shown = stillReading(picture, 15s);
        ASSERT_TRUE(shown.still) << "page " << page << " does not come to rest";
        keys("Return");
        if (page < 3) {
            ASSERT_TRUE(waitUntil([&] { return picture() != shown.value; }, 10s))
                << "Enter on page " << page << " changed nothing";
        }
    }
    EXPECT_TRUE(waitUntilGone(kWelcomeName)) << "the window stays after the last button";
    EXPECT_EQ(storedAsDone(), std::optional<bool>(true)) << readFile(JsonFilePreferencesStore::defaultPath());

    // A new start of the program: the panel comes alone.
    ASSERT_TRUE(restart()) << errors();
    ASSERT_TRUE(startASecondTime());
    ASSERT_TRUE(waitForPanel().has_value()) << "no panel after the restart";
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(findVisibleWindow(kWelcomeName), "") << "the welcome window came back";
    keys("Escape");
}

}  // namespace
}  // namespace orvalin::e2e
