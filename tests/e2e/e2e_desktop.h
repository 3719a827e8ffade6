#pragma once

// The program and its windows on the test display, as the end-to-end suites drive them: the
// clipboard, typed keys, a second start, the panel and its rows, a text window to paste into.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace orvalin::e2e {

extern const char* const kOrvalin;  // the program under test
extern const char* const kPanelName;
extern const char* const kWelcomeName;

// xdotool key names, one after the other.
void keys(const std::string& list);

// A start of the program while one runs: it shows the running one's panel and ends.
::testing::AssertionResult startASecondTime();
// The first visible window whose name matches, once it shows (at most 15 s).
std::optional<Geometry> waitForWindow(const std::string& namePattern);
inline std::optional<Geometry> waitForPanel() {
    return waitForWindow(kPanelName);
}
// A real pointer click at a point of the screen.
void clickAt(int x, int y);

// Each case on a fresh home and an X server of its own, where it starts the program itself.
class FreshDesktop : public ::testing::Test {
protected:
    FreshDesktop();
    ~FreshDesktop() override;
    void startServer(const std::vector<std::string>& args = {});
    // Starts the program, its errors going to errors(); it does not wait for it.
    pid_t startProgram();
    // Starts the program and waits for its instance socket.
    bool startAndWait();
    // Ends the program and starts it again.
    bool restart();
    std::string errors() const { return readFile(home.path() / "orvalin.err"); }

    TempHome home;
    std::unique_ptr<XvfbServer> server;
    pid_t orvalin = -1;
};

// The panel's rows have no fixed place: each is found on the screen. The label column of a row
// holds text; a row lights up under the pointer while the headings above the rows do not.
class PanelRows {
public:
    explicit PanelRows(const Geometry& panel) : panel_(panel) {}

    // The middle of the `index`th format row (from 0), or nothing.
    std::optional<int> rowCentre(std::size_t index);

private:
    std::vector<std::pair<int, int>> textLines() const;
    bool lit(int y) const;

    Geometry panel_;
};

}  // namespace orvalin::e2e
