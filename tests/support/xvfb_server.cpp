#include "support/xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kAttempts = 8;
// A sanitized test build on a loaded machine may take long to start a server.
constexpr std::chrono::milliseconds kStartTimeout = 20s;
constexpr int kExecFailed = 127;

bool answers(const std::string& display) {
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return ok;
}

// Runs the server with `writeFd` left open for -displayfd. Only async-signal-safe calls
// between fork and exec: the caller may have threads.
pid_t launch(const std::vector<std::string>& args, int writeFd, int logFd) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(kExecFailed);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(logFd, STDERR_FILENO);
    fcntl(writeFd, F_SETFD, 0);
    execvp(argv[0], argv.data());
    _exit(kExecFailed);
}

}  // namespace

XvfbServer::XvfbServer(std::string screen, std::vector<std::string> extraArgs)
    : screen_(std::move(screen)), extraArgs_(std::move(extraArgs)) {}

XvfbServer::~XvfbServer() {
    stop();
    if (!logPath_.empty()) unlink(logPath_.c_str());
}

bool XvfbServer::start() {
    if (!display_.empty()) return true;
    if (logPath_.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvalin-xvfb-XXXXXX").string();
        const int fd = mkstemp(pattern.data());
        if (fd < 0) {
            error_ = "Xvfb: no temporary file for its log";
            return false;
        }
        close(fd);
        logPath_ = pattern;
    }
    std::mt19937 random(static_cast<unsigned>(getpid()) ^
                        static_cast<unsigned>(Clock::now().time_since_epoch().count()));
    for (int i = 0; i < kAttempts; ++i) {
        if (attempt(100 + static_cast<int>(random() % 800))) return true;
        if (error_.find("could not be run") != std::string::npos) break;
    }
    error_ = "Xvfb did not start: " + error_;
    return false;
}

bool XvfbServer::attempt(int number) {
    const std::string display = ":" + std::to_string(number);
    int fds[2];
    const int logFd = open(logPath_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (logFd < 0 || pipe2(fds, O_CLOEXEC) != 0) {
        if (logFd >= 0) close(logFd);
        error_ = "no pipe or log file for Xvfb";
        return false;
    }
    // -noreset: otherwise the server resets when its last client leaves and turns away a client
    // that connects meanwhile. -displayfd: the server writes its number there once it accepts clients.
    std::vector<std::string> args = {"Xvfb",     display,     "-displayfd", std::to_string(fds[1]),
                                     "-noreset", "-nolisten", "tcp",        "-screen",
                                     "0",        screen_};
    args.insert(args.end(), extraArgs_.begin(), extraArgs_.end());
    pid_ = launch(args, fds[1], logFd);
    close(fds[1]);
    close(logFd);
    if (pid_ < 0) {
        close(fds[0]);
        error_ = "cannot fork";
        return false;
    }
    const bool ready = waitForNumber(fds[0]);
    close(fds[0]);
    if (ready) {
        const auto deadline = Clock::now() + 5s;
        while (!answers(display) && Clock::now() < deadline) std::this_thread::sleep_for(50ms);
        if (answers(display)) {
            display_ = display;
            return true;
        }
        error_ = display + " said it was ready but does not answer";
    }
    stop();
    return false;
}

bool XvfbServer::waitForNumber(int readFd) {
    std::string said;
    const auto deadline = Clock::now() + kStartTimeout;
    while (said.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{readFd, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) {
            error_ = "no answer within " + std::to_string(kStartTimeout.count()) + " ms";
            return false;
        }
        char buffer[16];
        const ssize_t n = read(readFd, buffer, sizeof buffer);
        if (n <= 0) break;  // the server ended
        said.append(buffer, static_cast<std::size_t>(n));
    }
    if (said.find('\n') != std::string::npos) return true;
    int status = 0;
    pid_t ended = 0;
    const auto until = Clock::now() + 2s;
    while ((ended = waitpid(pid_, &status, WNOHANG)) == 0 && Clock::now() < until)
        std::this_thread::sleep_for(20ms);
    if (ended == pid_) pid_ = -1;
    if (ended > 0 && WIFEXITED(status) && WEXITSTATUS(status) == kExecFailed) {
        error_ = "Xvfb could not be run (is the xvfb package installed?)";
    } else {
        error_ = "the server ended: " + log();
    }
    return false;
}

bool XvfbServer::running() {
    if (pid_ <= 0) return false;
    if (waitpid(pid_, nullptr, WNOHANG) == 0) return true;
    pid_ = -1;
    return false;
}

void XvfbServer::stop() {
    display_.clear();
    if (!running()) return;
    kill(pid_, SIGTERM);
    const auto deadline = Clock::now() + 5s;
    while (running() && Clock::now() < deadline) std::this_thread::sleep_for(20ms);
    if (!running()) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void XvfbServer::exportDisplay() const {
    setenv("DISPLAY", display_.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
}

std::string XvfbServer::log() const {
    std::ifstream in(logPath_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
