#pragma once

// The program and its windows on the test display, as the end-to-end suites drive them: the
// clipboard, a second start, the panel and its rows, a text window to paste into.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/shortcut.h"
#include "e2e_support.h"
#include "support/temp_home.h"
#include "support/xvfb_server.h"

namespace orvalin::e2e {

extern const char* const kOrvalin;  // the program under test
extern const char* const kPanelName;
extern const char* const kWelcomeName;
extern const char* const kSettingsName;
// What the user copied before each case; every insertion must give it back.
extern const char* const kKnownText;

// Stores the built-in formats, the ISO one also on Control+Alt+D; the list stored.
std::vector<Shortcut> storeFormatsWithIsoOnControlAltD();

// Whether the clipboard holds kKnownText again within a few seconds.
::testing::AssertionResult clipboardComesBack();
// A start of the program while one runs: it shows the running one's panel and ends.
::testing::AssertionResult startASecondTime();
// Where the first visible window whose name matches is, once it shows (at most 15 s) and holds
// still (at most 5 s more).
std::optional<Geometry> waitForWindow(const std::string& namePattern);
inline std::optional<Geometry> waitForPanel() {
    return waitForWindow(kPanelName);
}
// Whether no window of that name shows any more within 10 s.
bool waitUntilGone(const std::string& namePattern);
// Gives the keyboard to the first visible window of that name.
void focusWindow(const std::string& namePattern);
// Twice: the keyboard given to the program's window of that name, then moved to `target` as a
// window manager's Alt+Tab does, and "dt " typed within 20 ms; each time it becomes today's date.
::testing::AssertionResult aTriggerTypedRightAfterLeavingExpands(const std::string& namePattern,
                                                                 Target& target);
// The panel of a second start, then Control+comma: the settings window, with the keyboard on its
// tabs; nothing when either does not show.
std::optional<Geometry> openSettingsFromThePanel();

// A fresh home (its environment and the C.UTF-8 locale exported), and once asked for, a private
// X server and the program on it.
class Desktop {
public:
    Desktop();
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // A private Xvfb named in $DISPLAY (std::runtime_error saying why otherwise).
    void startServer(const std::vector<std::string>& args = {});
    // Stores that the welcome window was done with.
    static void skipWelcome();
    // Starts the program, its errors going to errors(); it does not wait for it.
    pid_t startProgram();
    // Starts the program and waits for its instance socket.
    bool startAndWait();
    // Ends the program and starts it again.
    bool restart();
    // Types the keys into `target`, again until they give `expected` there (today's ISO date
    // unless told): the program listens.
    bool waitUntilListening(Target& target, const std::string& keyList = "d t space",
                            std::chrono::milliseconds timeout = 40s,
                            const std::string& expected = today("%Y-%m-%d "));
    std::string errors() const { return readFile(home.path() / "orvalin.err"); }

    TempHome home;
    std::unique_ptr<XvfbServer> server;
    pid_t orvalin = -1;
};

// Each case on a fresh home and an X server of its own, where it starts the program itself.
class FreshDesktop : public ::testing::Test, public Desktop {};

// The usual run: the X server, the built-in formats with the welcome window done with (`prepare`
// may store more), the text window, and the program listening.
class ProgramUnderTest : public Desktop {
public:
    explicit ProgramUnderTest(const std::function<void()>& prepare = {});

    // Starts the program (again) and waits until it listens.
    bool startListening();
    // Before each case: all still up, the text window empty with the keyboard, and kKnownText on
    // the clipboard.
    ::testing::AssertionResult readyForACase();
    Target& target() { return *target_; }

private:
    std::unique_ptr<Target> target_;
};

// Clicks the `index`th format row of the panel (from 0); false when it was not found. The rows have
// no fixed place: each is found on the screen. The label column of a row holds text; a row lights
// up under the pointer while the headings above the rows do not.
bool clickPanelRow(const Geometry& panel, std::size_t index);

}  // namespace orvalin::e2e
