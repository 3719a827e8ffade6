#include "e2e_desktop.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace orvalin::e2e {

namespace fs = std::filesystem;

const char* const kOrvalin = ORVALIN_BINARY;
const char* const kPanelName = "^Orvalin$";
const char* const kWelcomeName = "^Bienvenue dans Orvalin$";

void keys(const std::string& list) {
    run("xdotool key --delay 40 " + list + " >/dev/null 2>&1");
}

::testing::AssertionResult startASecondTime() {
    pid_t second = spawn({kOrvalin});
    auto status = waitExit(second, 30s);
    if (!status) {
        stop(second);
        return ::testing::AssertionFailure() << "the second start is still running";
    }
    if (*status != 0) return ::testing::AssertionFailure() << "the second start ended with " << *status;
    return ::testing::AssertionSuccess();
}

std::optional<Geometry> waitForWindow(const std::string& namePattern) {
    std::string window;
    if (!waitUntil([&] { return !(window = findVisibleWindow(namePattern)).empty(); }, 15s))
        return std::nullopt;
    return windowGeometry(window);
}

FreshDesktop::FreshDesktop() {
    home.exportEnvironment();
    ::setenv("LANG", "C.UTF-8", 1);
    ::unsetenv("LC_ALL");
}

FreshDesktop::~FreshDesktop() {
    stop(orvalin);
}

void FreshDesktop::startServer(const std::vector<std::string>& args) {
    server = startXServer(args);
}

pid_t FreshDesktop::startProgram() {
    orvalin =
        spawn({kOrvalin}, (home.path() / "orvalin.out").string(), (home.path() / "orvalin.err").string());
    return orvalin;
}

bool FreshDesktop::startAndWait() {
    startProgram();
    return waitUntil([this] { return home.hasInstanceSocket(); }, 30s);
}

bool FreshDesktop::restart() {
    stop(orvalin);
    return waitUntil([this] { return !home.hasInstanceSocket(); }, 10s) && startAndWait();
}

void clickAt(int x, int y) {
    run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1 >/dev/null 2>&1");
}

namespace {
// Pixel 3 of a line is the panel's plain background; the highlight of a row starts at 6, its
// label at 14.
constexpr int kPlain = 3;
constexpr int kHighlight = 9;
constexpr int kLabelFrom = 14;
constexpr int kLabelTo = 66;
}  // namespace

std::optional<int> PanelRows::rowCentre(std::size_t index) {
    // Under load the panel may still be painting when it is first read, or a hover may come late:
    // scan again until the row shows up or the time is gone.
    std::optional<int> found;
    waitUntil(
        [&] {
            // Off the panel, so no row is lit while the lines are read.
            run("xdotool mousemove 5 5 >/dev/null 2>&1");
            std::size_t rows = 0;
            for (const auto& [top, bottom] : textLines()) {
                const int middle = (top + bottom) / 2;
                run("xdotool mousemove " + std::to_string(panel_.x + panel_.width - 60) + " " +
                    std::to_string(panel_.y + middle) + " >/dev/null 2>&1");
                if (!waitUntil([&] { return lit(middle); }, 2s)) continue;
                if (rows++ == index) {
                    found = panel_.y + middle;
                    return true;
                }
            }
            return false;
        },
        20s);
    return found;
}

std::vector<std::pair<int, int>> PanelRows::textLines() const {
    std::vector<std::pair<int, int>> lines;
    // Read only a settled picture: two reads a moment apart that agree.
    std::vector<std::uint32_t> pixels = screenPixels(panel_);
    waitUntil(
        [&] {
            std::this_thread::sleep_for(150ms);
            auto again = screenPixels(panel_);
            const bool settled = again == pixels;
            pixels = std::move(again);
            return settled;
        },
        5s);
    if (pixels.empty()) return lines;
    int start = -1;
    for (int y = 0; y <= panel_.height; ++y) {
        bool ink = false;
        if (y < panel_.height) {
            const std::uint32_t* line = &pixels[static_cast<std::size_t>(y * panel_.width)];
            for (int x = kLabelFrom; x < kLabelTo && !ink; ++x) ink = line[x] != line[kPlain];
        }
        if (ink && start < 0) start = y;
        // Dividers are thin lines; text is taller.
        if (!ink && start >= 0) {
            if (y - start >= 4) lines.emplace_back(start, y - 1);
            start = -1;
        }
    }
    return lines;
}

bool PanelRows::lit(int y) const {
    const auto pixels = screenPixels({panel_.x, panel_.y + y, panel_.width, 1});
    return !pixels.empty() && pixels[kHighlight] != pixels[kPlain];
}

}  // namespace orvalin::e2e
