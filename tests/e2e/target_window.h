#pragma once

// The focused application of the end-to-end tests (e2e_text_target): it writes its text to a
// file, so a test reads back what a key press or a paste put there.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace orvalin::e2e {

// Presses the keys of an xdotool key list, one after the other.
inline void keys(const std::string& list) {
    run("xdotool key --delay 40 " + list + " >/dev/null 2>&1");
}

class Target {
public:
    Target(const std::filesystem::path& dir, const std::string& name, std::vector<std::string> extra = {})
        : file_(dir / name) {
        std::vector<std::string> argv = {TARGET_BINARY, "--output", file_.string()};
        argv.insert(argv.end(), extra.begin(), extra.end());
        // A loaded machine may take long to start a sanitized Qt program; one retry covers a
        // start that got lost.
        for (int attempt = 0; attempt < 2 && window_.empty(); ++attempt) {
            if (pid_ > 0) stop(pid_);
            std::filesystem::remove(file_);
            std::filesystem::remove(chordsFile());
            std::filesystem::path out = dir / (name + ".stdout");
            std::filesystem::remove(out);
            pid_ = spawn(argv, out.string(), (dir / (name + ".stderr")).string());
            waitUntil([&] { return readFile(out).find('\n') != std::string::npos || !running(pid_); }, 40s);
            std::string ready = readFile(out);
            auto pos = ready.find("ready ");
            if (pos != std::string::npos) window_ = ready.substr(pos + 6, ready.find('\n', pos) - pos - 6);
            if (window_.empty())
                std::fprintf(stderr, "target did not start: %s\n",
                             readFile(dir / (name + ".stderr")).c_str());
        }
    }
    ~Target() { stop(pid_); }

    std::string text() const { return readFile(file_); }
    std::string chords() const { return readFile(chordsFile()); }
    bool waitForText(const std::string& expected, std::chrono::milliseconds timeout = 8s) const {
        return waitUntil([&] { return text() == expected; }, timeout);
    }
    // Gives the keyboard back to this window and empties it.
    void focusAndClear() {
        run("xdotool windowfocus --sync " + window_ + " >/dev/null 2>&1");
        keys("Escape");
        waitUntil([&] { return text().empty(); }, 5s);
        std::filesystem::remove(chordsFile());
    }
    bool started() const { return !window_.empty(); }

private:
    std::filesystem::path chordsFile() const { return std::filesystem::path(file_.string() + ".chords"); }
    std::filesystem::path file_;
    pid_t pid_ = -1;
    std::string window_;
};

}  // namespace orvalin::e2e
