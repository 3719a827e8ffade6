#include "e2e_desktop.h"

#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "core/format_catalogue.h"
#include "core/json_file_preferences_store.h"
#include "support/other_x_client.h"

namespace orvalin::e2e {

const char* const kOrvalin = ORVALIN_BINARY;
const char* const kPanelName = "^Orvalin$";
const char* const kWelcomeName = "^Welcome to Orvalin$";
const char* const kSettingsName = "^Orvalin Preferences$";
const char* const kKnownText = "texte connu";

std::vector<Shortcut> storeFormatsWithIsoOnControlAltD() {
    JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
    FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    for (Shortcut& s : catalogue.mutableShortcuts()) {
        if (s.trigger == "dt ") s.globalShortcut = GlobalShortcut{2, 0x0C0000, "⌃⌥D"};
    }
    EXPECT_TRUE(catalogue.saveShortcuts());
    return catalogue.shortcuts();
}

::testing::AssertionResult clipboardComesBack() {
    if (waitUntil([] { return clipboardText() == kKnownText; }, 5s)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the clipboard holds \"" << clipboardText() << '"';
}

::testing::AssertionResult startASecondTime() {
    // Its own words, for a start that fails.
    const std::filesystem::path err = std::filesystem::path(std::getenv("HOME")) / "orvalin-second.err";
    std::filesystem::remove(err);
    pid_t second = spawn({kOrvalin}, "/dev/null", err.string());
    auto status = waitExit(second, 30s);
    if (!status) {
        stop(second);
        return ::testing::AssertionFailure() << "the second start is still running";
    }
    if (*status != 0)
        return ::testing::AssertionFailure()
               << "the second start ended with " << *status << ": " << readFile(err);
    return ::testing::AssertionSuccess();
}

std::optional<Geometry> waitForWindow(const std::string& namePattern) {
    std::string window;
    if (!waitUntil([&] { return !(window = findVisibleWindow(namePattern)).empty(); }, 15s))
        return std::nullopt;
    // A window laid out again once shown still moves or grows: its place once it holds still.
    return stillReading([&] { return windowGeometry(window); }, 5s).value;
}

bool waitUntilGone(const std::string& namePattern) {
    return waitUntil([&] { return findVisibleWindow(namePattern).empty(); }, 10s);
}

void focusWindow(const std::string& namePattern) {
    xdotool("windowfocus --sync " + findVisibleWindow(namePattern));
}

::testing::AssertionResult aTriggerTypedRightAfterLeavingExpands(const std::string& namePattern,
                                                                 Target& target) {
    OtherXClient user;
    // Two runs whose keys went out at once are needed; on a loaded machine a run whose keys came
    // late proves nothing either way, and another is tried.
    int proven = 0;
    for (int run = 0; run < 6 && proven < 2; ++run) {
        target.focusAndClear();
        const std::string own = findVisibleWindow(namePattern);
        if (own.empty()) return ::testing::AssertionFailure() << "no window " << namePattern;
        user.setActive(static_cast<xcb_window_t>(std::stoul(own)));
        focusWindow(namePattern);
        // Long enough for Qt to see its window take the focus.
        std::this_thread::sleep_for(300ms);

        const auto start = std::chrono::steady_clock::now();
        user.setActive(target.windowId());
        user.focus(target.windowId());
        for (std::uint8_t key : {40, 28, 65}) {  // d, t, space on the server's US keymap
            user.key(XCB_KEY_PRESS, key);
            user.key(XCB_KEY_RELEASE, key);
        }
        const auto took = std::chrono::steady_clock::now() - start;
        if (took > 20ms) {
            target.waitForText(today("%Y-%m-%d "), 2s);  // whatever it leaves, the next run clears it
            continue;
        }
        if (!target.waitForText(today("%Y-%m-%d ")))
            return ::testing::AssertionFailure()
                   << "run " << run << ": the window holds \"" << target.text() << '"';
        ++proven;
    }
    if (proven < 2) return ::testing::AssertionFailure() << "the keys came late in most runs: nothing proven";
    return ::testing::AssertionSuccess();
}

namespace {
// A real pointer click at a point of the screen.
void clickAt(int x, int y) {
    xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}
}  // namespace

std::optional<Geometry> openSettingsFromThePanel() {
    if (!startASecondTime() || !waitForPanel()) return std::nullopt;
    keys("ctrl+comma");
    auto settings = waitForWindow(kSettingsName);
    if (!settings) return std::nullopt;
    // A click on the window's top edge gives it the keyboard without moving the focus.
    clickAt(settings->x + settings->width - 30, settings->y + 8);
    focusWindow(kSettingsName);
    std::this_thread::sleep_for(500ms);
    return settings;
}

Desktop::Desktop() {
    home.exportEnvironment();
    // The C locale, which every machine has, so its dates and its English texts. A locale the
    // machine lacks would fail the program's setlocale() as a whole, and its X window titles would
    // lose their accented letters.
    ::setenv("LANG", "C.UTF-8", 1);
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) ::unsetenv(name);
}

Desktop::~Desktop() {
    stop(orvalin);
}

void Desktop::startServer(const std::vector<std::string>& args) {
    server = std::make_unique<XvfbServer>("1024x768x24", args);
    if (!server->start()) throw std::runtime_error(server->error());
    ::setenv("DISPLAY", server->display().c_str(), 1);
}

void Desktop::skipWelcome() {
    JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
    store.write({{prefkey::kOnboardingCompleted, true}});
}

pid_t Desktop::startProgram() {
    orvalin =
        spawn({kOrvalin}, (home.path() / "orvalin.out").string(), (home.path() / "orvalin.err").string());
    return orvalin;
}

bool Desktop::startAndWait() {
    startProgram();
    return waitUntil([this] { return home.hasInstanceSocket(); }, 30s);
}

bool Desktop::restart() {
    stop(orvalin);
    return waitUntil([this] { return !home.hasInstanceSocket(); }, 10s) && startAndWait();
}

bool Desktop::waitUntilListening(Target& target, const std::string& keyList,
                                 std::chrono::milliseconds timeout, const std::string& expected) {
    return waitUntil(
        [&] {
            target.focusAndClear();
            keys(keyList);
            return target.waitForText(expected, 1500ms);
        },
        timeout);
}

ProgramUnderTest::ProgramUnderTest(const std::function<void()>& prepare) {
    startServer();
    skipWelcome();
    if (prepare) prepare();
    target_ = std::make_unique<Target>(home.path(), "main.txt");
    startListening();
}

bool ProgramUnderTest::startListening() {
    startProgram();
    const bool up = waitUntilListening(*target_);
    // The warm-up insertions finish restoring the clipboard before a test sets its own.
    std::this_thread::sleep_for(1500ms);
    return up;
}

::testing::AssertionResult ProgramUnderTest::readyForACase() {
    if (!target_->started()) return ::testing::AssertionFailure() << "the text window did not start";
    if (!running(orvalin)) {
        return ::testing::AssertionFailure()
               << "the program ended: " << errors() << "\nX server "
               << (server->running() ? "running" : "gone") << ": " << server->log();
    }
    target_->focusAndClear();
    setClipboardText(kKnownText);
    return ::testing::AssertionSuccess();
}

namespace {
// Pixel 3 of a line is the panel's plain background; the highlight of a row starts at 6, its
// label at 14.
constexpr int kPlain = 3;
constexpr int kHighlight = 9;
constexpr int kLabelFrom = 14;
constexpr int kLabelTo = 66;

std::vector<std::pair<int, int>> textLines(const Geometry& panel) {
    std::vector<std::pair<int, int>> lines;
    const std::vector<std::uint32_t> pixels = stillReading([&] { return screenPixels(panel); }, 5s).value;
    if (pixels.empty()) return lines;
    int start = -1;
    for (int y = 0; y <= panel.height; ++y) {
        bool ink = false;
        if (y < panel.height) {
            const std::uint32_t* line = &pixels[static_cast<std::size_t>(y * panel.width)];
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

bool lit(const Geometry& panel, int y) {
    const auto pixels = screenPixels({panel.x, panel.y + y, panel.width, 1});
    return !pixels.empty() && pixels[kHighlight] != pixels[kPlain];
}

std::optional<int> rowCentre(const Geometry& panel, std::size_t index) {
    // Under load the panel may still be painting when it is first read, or a hover may come late:
    // scan again until the row shows up or the time is gone.
    std::optional<int> found;
    waitUntil(
        [&] {
            // Off the panel, so no row is lit while the lines are read.
            xdotool("mousemove 5 5");
            std::size_t rows = 0;
            for (const auto& [top, bottom] : textLines(panel)) {
                const int middle = (top + bottom) / 2;
                xdotool("mousemove " + std::to_string(panel.x + panel.width - 60) + " " +
                        std::to_string(panel.y + middle));
                if (!waitUntil([&] { return lit(panel, middle); }, 2s)) continue;
                if (rows++ == index) {
                    found = panel.y + middle;
                    return true;
                }
            }
            return false;
        },
        20s);
    return found;
}

}  // namespace

bool clickPanelRow(const Geometry& panel, std::size_t index) {
    const auto row = rowCentre(panel, index);
    if (row) clickAt(panel.x + panel.width - 60, *row);
    return row.has_value();
}

}  // namespace orvalin::e2e
