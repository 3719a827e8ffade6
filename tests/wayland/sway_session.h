#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace orvalin::e2e {

// A headless sway with one foot terminal focused, whose shell appends every line it receives
// to a file (the terminal in its ordinary line mode: Backspace edits the line, other keys
// arrive as the bytes the terminal sends). sway refuses root: as root it runs as `nobody`.
class SwaySession {
public:
    // Up and ready once constructed; std::runtime_error saying why when sway cannot start.
    SwaySession();
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // The compositor's socket, as an absolute WAYLAND_DISPLAY.
    std::string socket() const { return (runtime() / "wayland-1").string(); }
    // The lines the terminal's shell received so far, each with its newline.
    std::string received() const;
    bool waitForReceived(const std::string& expected, std::chrono::milliseconds timeout) const;
    bool waitForReceivedPart(const std::string& part, std::chrono::milliseconds timeout) const;
    void clearReceived() const;
    // Types as a user would, through wtype (its arguments); false when wtype failed.
    bool type(const std::vector<std::string>& wtypeArguments) const;
    // Whether the compositor shows a window with that title (asked through swaymsg).
    bool showsWindow(const std::string& title) const;
    // Runs a sway command straight on its socket, as a key binding would (no process started);
    // false when sway refused it.
    bool command(const std::string& text) const;
    std::string log() const;
    // Ends the compositor, as a crash or the end of the session would.
    void kill();
    bool alive() const;

private:
    std::filesystem::path runtime() const { return dir_.path() / "runtime"; }
    std::filesystem::path receivedFile() const { return runtime() / "received.txt"; }
    // sway's command socket, sway-ipc.<uid>.<pid>.sock in its runtime folder; empty before it made it.
    std::filesystem::path ipcSocket() const;

    TempDir dir_;
    pid_t sway_ = -1;
};

}  // namespace orvalin::e2e
