#include "sway_session.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

#include "../e2e/e2e_support.h"

namespace orvalin::e2e {

namespace {

namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;

std::vector<std::string> asUnprivilegedUser() {
    if (::geteuid() != 0) return {};
    return {"setpriv", "--reuid=" + std::to_string(kNobody), "--regid=" + std::to_string(kNobody),
            "--clear-groups"};
}

std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

}  // namespace

SwaySession::SwaySession() : dir_("orvalin-sway") {
    if (std::getenv("ORVALIN_TEST_KEEP") != nullptr) dir_.keep();
    fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    fs::create_directories(runtime());
    fs::permissions(runtime(), fs::perms::owner_all);
    {
        std::ofstream config(runtime() / "sway.conf");
        // No key repeat: on a loaded machine a release that comes late would type its key again.
        config << "input type:keyboard repeat_rate 0\n";
        config << "exec foot -e sh -c " << quoted("exec cat >> " + receivedFile().string()) << "\n";
    }
    if (::geteuid() == 0 && ::chown(runtime().c_str(), kNobody, kNobody) != 0) {
        throw std::runtime_error("cannot give the runtime folder to nobody");
    }
    std::vector<std::string> argv = asUnprivilegedUser();
    for (const std::string& a :
         {std::string("env"), std::string("-i"), "PATH=" + std::string(std::getenv("PATH")),
          "HOME=" + runtime().string(), "XDG_RUNTIME_DIR=" + runtime().string(),
          std::string("WLR_BACKENDS=headless"), std::string("WLR_RENDERER=pixman"),
          std::string("WLR_LIBINPUT_NO_DEVICES=1"), std::string("sway"), std::string("-c"),
          (runtime() / "sway.conf").string()}) {
        argv.push_back(a);
    }
    const std::string logFile = (dir_.path() / "sway.log").string();
    sway_ = spawn(argv, logFile, logFile);
    if (!waitUntil([this] { return fs::exists(socket()) || !running(sway_); }, 60s) || !running(sway_)) {
        throw std::runtime_error("sway did not start: " + log());
    }
    ::setenv("WAYLAND_DISPLAY", socket().c_str(), 1);
    // The terminal is up and focused once a typed line comes through.
    const bool ready = waitUntil(
        [this] {
            type({"ready", "-k", "Return"});
            return waitUntil([this] { return received().find("ready\n") != std::string::npos; }, 2s);
        },
        60s);
    if (!ready) throw std::runtime_error("foot did not take typed lines: " + log());
    clearReceived();
}

SwaySession::~SwaySession() {
    kill();
}

bool SwaySession::alive() const {
    return sway_ > 0 && running(sway_);
}

void SwaySession::kill() {
    if (sway_ > 0) stop(sway_);
    sway_ = -1;
}

std::string SwaySession::received() const {
    return readFile(receivedFile());
}

bool SwaySession::waitForReceived(const std::string& expected, std::chrono::milliseconds timeout) const {
    return waitUntil([&] { return received() == expected; }, timeout);
}

bool SwaySession::waitForReceivedPart(const std::string& part, std::chrono::milliseconds timeout) const {
    return waitUntil([&] { return received().find(part) != std::string::npos; }, timeout);
}

void SwaySession::clearReceived() const {
    fs::resize_file(receivedFile(), 0);
}

// A modifier tap first: a virtual keyboard's very first key can be lost while the terminal takes
// its keymap.
bool SwaySession::type(const std::vector<std::string>& wtypeArguments) const {
    std::string command = "WAYLAND_DISPLAY=" + quoted(socket()) + " wtype -M shift -m shift";
    for (const std::string& a : wtypeArguments) command += " " + quoted(a);
    return run(command + " >/dev/null 2>&1") == 0;
}

std::filesystem::path SwaySession::ipcSocket() const {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(runtime(), ec)) {
        if (entry.path().filename().string().rfind("sway-ipc.", 0) == 0) return entry.path();
    }
    return {};
}

bool SwaySession::showsWindow(const std::string& title) const {
    const std::string tree = capture("swaymsg -s " + quoted(ipcSocket().string()) + " -t get_tree 2>&1");
    return tree.find("\"name\": \"" + title + "\"") != std::string::npos;
}

bool SwaySession::command(const std::string& text) const {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, ipcSocket().c_str(), sizeof address.sun_path - 1);
    bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    // "i3-ipc", the payload's length and the message type (0: run a command), then the payload.
    std::string message = "i3-ipc";
    const std::uint32_t head[2] = {static_cast<std::uint32_t>(text.size()), 0};
    message.append(reinterpret_cast<const char*>(head), sizeof head).append(text);
    ok = ok && ::write(fd, message.data(), message.size()) == static_cast<ssize_t>(message.size());
    std::string reply;
    char buffer[512];
    for (ssize_t n = 0;
         ok && reply.find(']') == std::string::npos && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        reply.append(buffer, static_cast<std::size_t>(n));
    if (fd >= 0) ::close(fd);
    return reply.find("\"success\": true") != std::string::npos;
}

std::string SwaySession::log() const {
    return readFile(dir_.path() / "sway.log");
}

}  // namespace orvalin::e2e
