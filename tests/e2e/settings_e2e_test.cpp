// The settings window of the real program under Xvfb, used with real pointer clicks: the panel's
// "Préférences…" opens it, "Sombre" is stored, and the next start of the program comes up dark.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "core/preferences_store.h"
#include "e2e_desktop.h"

namespace orvalin::e2e {
namespace {

namespace fs = std::filesystem;

const char* const kSettingsName = "^Préférences Orvalin$";

bool isInk(std::uint32_t pixel) {
    const int r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
    return (r + g + b) / 3 < 110;
}

bool isDarkBackground(std::uint32_t pixel) {
    const int r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
    return (r + g + b) / 3 < 90;
}

// Stretches [from, to) of rows (or columns) where `inked` holds, merging gaps under `gap`.
std::vector<std::pair<int, int>> runs(int from, int to, int gap, const std::function<bool(int)>& inked) {
    std::vector<std::pair<int, int>> found;
    for (int i = from; i < to; ++i) {
        if (!inked(i)) continue;
        if (!found.empty() && i - found.back().second <= gap) {
            found.back().second = i;
        } else {
            found.emplace_back(i, i);
        }
    }
    return found;
}

// The lines of dark text in the columns [left, right) of an area, top to bottom.
std::vector<std::pair<int, int>> textLines(const Geometry& area, int left, int right) {
    const auto pixels = screenPixels(area);
    if (pixels.empty()) return {};
    return runs(0, area.height, 3, [&](int y) {
        for (int x = left; x < right; ++x) {
            if (isInk(pixels[static_cast<std::size_t>(y * area.width + x)])) return true;
        }
        return false;
    });
}

// Where to click "Préférences…": the panel's last two text lines are its two buttons.
std::optional<std::pair<int, int>> preferencesButton(const Geometry& panel) {
    const auto lines = textLines(panel, 14, 140);
    if (lines.size() < 2) return std::nullopt;
    const auto& line = lines[lines.size() - 2];
    return std::pair{panel.x + 40, panel.y + (line.first + line.second) / 2};
}

// Where to click "Sombre": the appearance control is the first row with three words on the right
// half of the General tab; its last word is "Sombre".
std::optional<std::pair<int, int>> darkSegment(const Geometry& window) {
    const auto pixels = screenPixels(window);
    if (pixels.empty()) return std::nullopt;
    const int half = window.width / 2;
    for (const auto& [top, bottom] : textLines(window, half, window.width)) {
        if (top < 40) continue;  // the tab bar
        const int middle = (top + bottom) / 2;
        const auto words = runs(half, window.width, 6, [&](int x) {
            for (int y = top; y <= bottom; ++y) {
                if (isInk(pixels[static_cast<std::size_t>(y * window.width + x)])) return true;
            }
            return false;
        });
        if (words.size() == 3)
            return std::pair{window.x + (words[2].first + words[2].second) / 2, window.y + middle};
    }
    return std::nullopt;
}

std::string storedAppearance() {
    JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
    return store.string(prefkey::kAppearance).value_or("");
}

TEST(SettingsEndToEnd, SombreChosenWithThePointerIsStoredAndTheNextStartIsDark) {
    TempHome home;
    home.exportEnvironment();
    ::setenv("LANG", "C.UTF-8", 1);
    XServer server;
    ::setenv("DISPLAY", server.display().c_str(), 1);
    {
        JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
        ASSERT_TRUE(store.write({{prefkey::kOnboardingCompleted, true}}));
    }
    const fs::path err = home.path() / "orvalin.err";
    pid_t orvalin = spawn({kOrvalin}, "/dev/null", err.string());
    ASSERT_TRUE(waitUntil([&] { return home.hasInstanceSocket(); }, 30s)) << readFile(err);

    // The panel, then its "Préférences…" button.
    run("xdotool mousemove 5 5 >/dev/null 2>&1");
    ASSERT_TRUE(startASecondTime());
    auto panel = waitForWindow(kPanelName);
    ASSERT_TRUE(panel.has_value()) << "no panel";
    std::this_thread::sleep_for(500ms);
    auto button = preferencesButton(*panel);
    ASSERT_TRUE(button.has_value()) << "the panel's buttons were not found";
    clickAt(button->first, button->second);
    auto settings = waitForWindow(kSettingsName);
    ASSERT_TRUE(settings.has_value()) << "no settings window";
    EXPECT_EQ(settings->width, 520);
    EXPECT_EQ(settings->height, 560);
    EXPECT_TRUE(waitUntil([] { return findVisibleWindow(kPanelName).empty(); }, 5s)) << "the panel stays";

    // "Sombre", with the pointer.
    std::optional<std::pair<int, int>> dark;
    ASSERT_TRUE(waitUntil([&] { return (dark = darkSegment(*settings)).has_value(); }, 10s))
        << "the appearance control was not found";
    clickAt(dark->first, dark->second);
    EXPECT_TRUE(waitUntil([] { return storedAppearance() == "dark"; }, 10s)) << storedAppearance();
    const Geometry corner{settings->x + 4, settings->y + settings->height - 4, 1, 1};
    EXPECT_TRUE(waitUntil(
        [&] {
            auto pixel = screenPixels(corner);
            return !pixel.empty() && isDarkBackground(pixel[0]);
        },
        5s))
        << "the settings window did not turn dark: " << std::hex
        << (screenPixels(corner).empty() ? 0u : screenPixels(corner)[0]) << std::dec << " at " << corner.x
        << "," << corner.y;

    // A new start of the program: its panel comes up dark.
    stop(orvalin);
    ASSERT_TRUE(waitUntil([&] { return !home.hasInstanceSocket(); }, 10s));
    orvalin = spawn({kOrvalin}, "/dev/null", err.string());
    ASSERT_TRUE(waitUntil([&] { return home.hasInstanceSocket(); }, 30s)) << readFile(err);
    ASSERT_TRUE(startASecondTime());
    panel = waitForWindow(kPanelName);
    ASSERT_TRUE(panel.has_value()) << "no panel after the restart";
    const Geometry edge{panel->x + 3, panel->y + panel->height / 2, 1, 1};
    EXPECT_TRUE(waitUntil(
        [&] {
            auto pixel = screenPixels(edge);
            return !pixel.empty() && isDarkBackground(pixel[0]);
        },
        5s))
        << "the panel is not dark after the restart";
    stop(orvalin);
}

}  // namespace
}  // namespace orvalin::e2e
