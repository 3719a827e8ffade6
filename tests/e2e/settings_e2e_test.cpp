// The settings window of the real program under Xvfb, used with real key presses: the panel's
// Control+comma opens it, "Sombre" is stored, and the next start of the program comes up dark;
// the keys typed the moment it loses the focus are the other application's.
#include <gtest/gtest.h>

#include <thread>

#include "core/json_file_preferences_store.h"
#include "e2e_desktop.h"

namespace orvalin::e2e {
namespace {

// Whether the pixel at the point of the screen turns dark within a few seconds.
bool turnsDark(int x, int y) {
    return waitUntil(
        [&] {
            const auto pixel = screenPixels({x, y, 1, 1});
            if (pixel.empty()) return false;
            const std::uint32_t r = (pixel[0] >> 16) & 0xff, g = (pixel[0] >> 8) & 0xff, b = pixel[0] & 0xff;
            return (r + g + b) / 3 < 90;
        },
        5s);
}

std::string storedAppearance() {
    JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
    return store.string(prefkey::kAppearance).value_or("");
}

using SettingsEndToEnd = FreshDesktop;

TEST_F(SettingsEndToEnd, SombreChosenFromTheKeyboardIsStoredAndTheNextStartIsDark) {
    startServer();
    skipWelcome();
    ASSERT_TRUE(startAndWait()) << errors();

    auto settings = openSettingsFromThePanel();
    ASSERT_TRUE(settings.has_value()) << "no settings window from the panel";
    EXPECT_EQ(settings->width, 520);
    EXPECT_EQ(settings->height, 560);
    EXPECT_TRUE(waitUntilGone(kPanelName)) << "the panel stays";

    // "Sombre": past the launch switch to the appearance's chosen segment, two to the right.
    keys("Tab Tab Right Right space");
    EXPECT_TRUE(waitUntil([] { return storedAppearance() == "dark"; }, 10s)) << storedAppearance();
    EXPECT_TRUE(turnsDark(settings->x + 4, settings->y + settings->height - 4))
        << "the settings window did not turn dark";

    // A new start of the program: its panel comes up dark.
    ASSERT_TRUE(restart()) << errors();
    ASSERT_TRUE(startASecondTime());
    auto panel = waitForPanel();
    ASSERT_TRUE(panel.has_value()) << "no panel after the restart";
    EXPECT_TRUE(turnsDark(panel->x + 3, panel->y + panel->height / 2))
        << "the panel is not dark after the restart";
}

// Qt learns that its window lost the focus only a while after the window manager moved it: the
// keys typed meanwhile are the other application's, and a trigger among them expands there.
TEST_F(SettingsEndToEnd, ATriggerTypedTheMomentTheFocusLeavesTheWindowExpands) {
    startServer();
    skipWelcome();
    startProgram();
    Target target(home.path(), "after-settings.txt");
    ASSERT_TRUE(target.started());
    ASSERT_TRUE(waitUntilListening(target)) << target.text() << errors();
    ASSERT_TRUE(openSettingsFromThePanel().has_value()) << "no settings window from the panel";
    EXPECT_TRUE(aTriggerTypedRightAfterLeavingExpands(kSettingsName, target)) << errors();
}

}  // namespace
}  // namespace orvalin::e2e
