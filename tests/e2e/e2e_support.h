#pragma once

// Processes, files and X tools for the end-to-end tests.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "support/temp_dir.h"

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

using ::readFile;
// Polls until `done` holds, at most `timeout`.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// xdotool with these arguments, its output dropped.
void xdotool(const std::string& arguments);
// xdotool key names, one after the other.
void keys(const std::string& list);

// Windows and pixels of the display in $DISPLAY.
struct Geometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Geometry&) const = default;
};
// The first mapped window whose name matches the regular expression; empty when there is none.
std::string findVisibleWindow(const std::string& namePattern);
// Where the window is on the screen.
std::optional<Geometry> windowGeometry(const std::string& window);
// The screen's pixels in `area`, row by row, as 0xRRGGBB; empty when they cannot be read.
std::vector<std::uint32_t> screenPixels(const Geometry& area);
// What `read()` gives once two reads a moment apart agree (a slide, a fade or a window laid out
// again is over), at most `timeout`: the last read, and whether it held still.
template <typename Value>
struct Reading {
    Value value;
    bool still = false;
};
template <typename Read>
Reading<std::invoke_result_t<Read>> stillReading(Read read, std::chrono::milliseconds timeout) {
    Reading<std::invoke_result_t<Read>> last{read(), false};
    last.still = waitUntil(
        [&] {
            std::this_thread::sleep_for(150ms);
            auto again = read();
            const bool same = again == last.value;
            last.value = std::move(again);
            return same;
        },
        timeout);
    return last;
}

// Today's date with a strftime pattern, or the date `days` days from today.
std::string today(const char* pattern, int days = 0);

// The CLIPBOARD as text, read by another client (xclip).
std::string clipboardText();
// Puts `text` on the CLIPBOARD from a background xclip, as a user's copy.
void setClipboardText(const std::string& text);

// The test suite's text window (a Qt program) with the keyboard focus: it writes its text to a
// file after every change and notes the paste chords it receives.
//
// Other kinds of window stand for the toolkits that fetch a paste asynchronously: a GTK entry
// (same protocol, no chords noted) and xterm running `cat`, whose text is the lines entered
// (written when Return is typed; clearing empties the line being typed and the text).
enum class TargetKind { Qt, Gtk, Terminal };
class Target {
public:
    Target(const std::filesystem::path& dir, const std::string& name, std::vector<std::string> extra = {},
           TargetKind kind = TargetKind::Qt);
    Target(const std::filesystem::path& dir, const std::string& name, TargetKind kind)
        : Target(dir, name, {}, kind) {}
    ~Target();
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    std::string text() const { return readFile(file_); }
    std::string chords() const { return readFile(chordsFile()); }
    bool waitForText(const std::string& expected, std::chrono::milliseconds timeout = 8s) const {
        return waitUntil([&] { return text() == expected; }, timeout);
    }
    // Gives the keyboard back to this window and empties it.
    void focusAndClear();
    bool started() const { return !window_.empty(); }
    // Its X window; 0 before it started.
    std::uint32_t windowId() const { return started() ? static_cast<std::uint32_t>(std::stoul(window_)) : 0; }

private:
    std::filesystem::path chordsFile() const { return std::filesystem::path(file_.string() + ".chords"); }
    std::vector<std::string> command(const std::filesystem::path& out, std::vector<std::string> extra) const;
    std::filesystem::path file_;
    TargetKind kind_;
    pid_t pid_ = -1;
    std::string window_;
};

// Whether a keeper of the clipboard (the program's own binary serving the user's content after
// the program ended) runs on this test's display.
bool clipboardKeeperRunning();

}  // namespace orvalin::e2e
