#pragma once

// Processes, files and X tools for the end-to-end tests.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_home.h"
#include "support/xvfb_server.h"

namespace orvalin::e2e {

using namespace std::chrono_literals;

// Starts a program with the test's environment; its output goes to the given files.
pid_t spawn(const std::vector<std::string>& argv, const std::string& out = "/dev/null",
            const std::string& err = "/dev/null");
// Waits for the process to end, at most `timeout`; its exit status (or -signal), nothing if
// still running.
std::optional<int> waitExit(pid_t pid, std::chrono::milliseconds timeout);
// SIGTERM, then SIGKILL if it does not end within a few seconds.
void stop(pid_t pid);
bool running(pid_t pid);

// Runs a shell command to the end; its standard output.
std::string capture(const std::string& command);
int run(const std::string& command);

std::string readFile(const std::filesystem::path& path);
// Polls until `done` holds, at most `timeout`.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// A private Xvfb, up once constructed (std::runtime_error saying why otherwise).
class XServer {
public:
    explicit XServer(const std::vector<std::string>& extraArgs = {});
    const std::string& display() const { return server_.display(); }
    pid_t pid() const { return server_.pid(); }
    // What the server wrote on its standard error.
    std::string log() const { return server_.log(); }
    void kill() { server_.stop(); }

private:
    XvfbServer server_;
};

// Windows and pixels of the display in $DISPLAY.
struct Geometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
// The first mapped window whose name matches the regular expression; empty when there is none.
std::string findVisibleWindow(const std::string& namePattern);
// Where the window is on the screen.
std::optional<Geometry> windowGeometry(const std::string& window);
// The screen's pixels in `area`, row by row, as 0xRRGGBB; empty when they cannot be read.
std::vector<std::uint32_t> screenPixels(const Geometry& area);

// Today's date with a strftime pattern.
std::string today(const char* pattern);

}  // namespace orvalin::e2e
