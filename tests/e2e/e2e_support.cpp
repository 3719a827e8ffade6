#include "e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace orvalin::e2e {

namespace {

// The programs started here report leaks of their own, not those of system libraries.
const bool kLeakSuppressions = [] {
    std::string options = std::string("suppressions=") + LSAN_SUPPRESSIONS + ":print_suppressions=0";
    ::setenv("LSAN_OPTIONS", options.c_str(), 1);
    return true;
}();

}  // namespace

pid_t spawn(const std::vector<std::string>& argv, const std::string& out, const std::string& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + argv[0]);
    return pid;
}

namespace {
// Processes already waited for: their numbers may belong to someone else by now, so they are
// never signalled again.
std::set<pid_t>& reaped() {
    static std::set<pid_t> pids;
    return pids;
}
}  // namespace

std::optional<int> waitExit(pid_t pid, std::chrono::milliseconds timeout) {
    if (reaped().count(pid) != 0) return -1000;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            reaped().insert(pid);
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            if (WIFSIGNALED(status)) return -WTERMSIG(status);
        }
        if (r < 0) return -1000;
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(20ms);
    }
}

bool running(pid_t pid) {
    if (reaped().count(pid) != 0) return false;
    int status = 0;
    pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid) reaped().insert(pid);
    return r == 0;
}

void stop(pid_t pid) {
    if (pid <= 0 || reaped().count(pid) != 0) return;
    ::kill(pid, SIGTERM);
    if (!waitExit(pid, 5s)) {
        ::kill(pid, SIGKILL);
        waitExit(pid, 5s);
    }
}

std::string capture(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (p == nullptr) return out;
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
    ::pclose(p);
    return out;
}

int run(const std::string& command) {
    return std::system(command.c_str());
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return done();
}

void xdotool(const std::string& arguments) {
    run("xdotool " + arguments + " >/dev/null 2>&1");
}

void keys(const std::string& list) {
    xdotool("key --delay 40 " + list);
}

std::string findVisibleWindow(const std::string& namePattern) {
    std::string id =
        capture("xdotool search --onlyvisible --name '" + namePattern + "' 2>/dev/null | head -n 1");
    id.erase(id.find_last_not_of("\r\n ") + 1);
    return id;
}

std::optional<Geometry> windowGeometry(const std::string& window) {
    if (window.empty()) return std::nullopt;
    // "WINDOW=…", then the position on the root window and the size, a line each.
    const std::string said = capture("xdotool getwindowgeometry --shell " + window + " 2>/dev/null");
    Geometry g;
    if (std::sscanf(said.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &g.x, &g.y, &g.width,
                    &g.height) != 4)
        return std::nullopt;
    return g;
}

std::vector<std::uint32_t> screenPixels(const Geometry& area) {
    std::vector<std::uint32_t> pixels;
    if (area.width <= 0 || area.height <= 0) return pixels;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (c == nullptr || xcb_connection_has_error(c) != 0) {
        if (c != nullptr) xcb_disconnect(c);
        return pixels;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    auto cookie = xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<int16_t>(area.x),
                                static_cast<int16_t>(area.y), static_cast<uint16_t>(area.width),
                                static_cast<uint16_t>(area.height), ~0u);
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
        xcb_get_image_reply(c, cookie, nullptr), &std::free);
    const std::size_t count = static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height);
    // The test servers run at depth 24, four bytes a pixel.
    if (reply && reply->depth == 24 &&
        static_cast<std::size_t>(xcb_get_image_data_length(reply.get())) == count * 4) {
        const uint8_t* data = xcb_get_image_data(reply.get());
        pixels.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            pixels[i] = static_cast<std::uint32_t>(data[4 * i]) |
                        static_cast<std::uint32_t>(data[4 * i + 1]) << 8 |
                        static_cast<std::uint32_t>(data[4 * i + 2]) << 16;
        }
    }
    xcb_disconnect(c);
    return pixels;
}

std::string today(const char* pattern, int days) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    if (days != 0) {
        // Noon of the day, moved by whole days: mktime settles month and year.
        tm.tm_mday += days;
        tm.tm_hour = 12;
        tm.tm_isdst = -1;
        ::mktime(&tm);
    }
    char buf[64];
    std::strftime(buf, sizeof buf, pattern, &tm);
    return buf;
}

std::string clipboardText() {
    return capture("xclip -o -selection clipboard 2>/dev/null");
}

void setClipboardText(const std::string& text) {
    // xclip keeps serving the selection from the background until someone else takes it.
    run("printf '%s' '" + text + "' | xclip -selection clipboard -i >/dev/null 2>&1");
    waitUntil([&] { return clipboardText() == text; }, 5s);
}

std::vector<std::string> Target::command(const std::filesystem::path& out,
                                         std::vector<std::string> extra) const {
    std::vector<std::string> argv;
    switch (kind_) {
        case TargetKind::Qt:
            argv = {TARGET_BINARY, "--output", file_.string()};
            break;
        case TargetKind::Gtk:
            // Debian's own Python, the one python3-gi is installed for.
            argv = {"/usr/bin/python3", GTK_TARGET_SCRIPT, "--output", file_.string()};
            break;
        case TargetKind::Terminal:
            // xterm names its window to the shell it runs; `cat` appends each line entered.
            argv = {"xterm", "-e", "sh", "-c",
                    "echo ready $WINDOWID >'" + out.string() + "'; exec cat >>'" + file_.string() + "'"};
            break;
    }
    argv.insert(argv.end(), extra.begin(), extra.end());
    return argv;
}

Target::Target(const std::filesystem::path& dir, const std::string& name, std::vector<std::string> extra,
               TargetKind kind)
    : file_(dir / name), kind_(kind) {
    namespace fs = std::filesystem;
    // A loaded machine may take long to start a sanitized Qt program; one retry covers a start
    // that got lost.
    for (int attempt = 0; attempt < 2 && window_.empty(); ++attempt) {
        if (pid_ > 0) stop(pid_);
        fs::remove(file_);
        fs::remove(chordsFile());
        fs::path out = dir / (name + ".stdout");
        fs::remove(out);
        pid_ = spawn(command(out, extra), out.string(), (dir / (name + ".stderr")).string());
        waitUntil([&] { return readFile(out).find('\n') != std::string::npos || !running(pid_); }, 40s);
        std::string ready = readFile(out);
        auto pos = ready.find("ready ");
        if (pos != std::string::npos) window_ = ready.substr(pos + 6, ready.find('\n', pos) - pos - 6);
        if (window_.empty())
            std::fprintf(stderr, "target did not start: %s\n", readFile(dir / (name + ".stderr")).c_str());
    }
}

bool clipboardKeeperRunning() {
    const std::string display = std::string("DISPLAY=") + std::getenv("DISPLAY");
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string cmdline = readFile(entry.path() / "cmdline");
        if (cmdline != std::string(ORVALIN_BINARY) + '\0' + "--keep-clipboard" + '\0') continue;
        const std::string environment = readFile(entry.path() / "environ");
        if (environment.find(display + '\0') != std::string::npos) return true;
    }
    return false;
}

Target::~Target() {
    stop(pid_);
}

void Target::focusAndClear() {
    xdotool("windowfocus --sync " + window_);
    if (kind_ == TargetKind::Terminal) {
        xdotool("key ctrl+u");
        std::error_code ec;
        std::filesystem::resize_file(file_, 0, ec);
    } else {
        xdotool("key Escape");
    }
    waitUntil([&] { return text().empty(); }, 5s);
    std::filesystem::remove(chordsFile());
}

}  // namespace orvalin::e2e
