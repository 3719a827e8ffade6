#include "platform/x11/clipboard_keeper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>

#include "platform/x11/selection_keeper.h"

extern char** environ;

namespace orvalin::x11 {

namespace {

std::string readAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return bytes;
        }
    }
}

}  // namespace

int runClipboardKeeper(int inputFd) {
    std::vector<KeptSelection> kept = decodeKeptSelections(readAll(inputFd));
    if (kept.empty()) return 1;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (c == nullptr || xcb_connection_has_error(c) != 0) {
        if (c != nullptr) xcb_disconnect(c);
        return 1;
    }
    const int status = SelectionKeeper(c, std::move(kept)).run();
    xcb_disconnect(c);
    return status;
}

bool startClipboardKeeper(const std::string& program, const std::vector<KeptSelection>& kept) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    // Its own session: the terminal's or the session's end of this program does not reach it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    std::string argument = kKeeperArgument;
    char* argv[] = {const_cast<char*>(program.c_str()), argument.data(), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(fds[0]);
    ::close(ready[1]);
    bool written = spawned == 0;
    if (written) {
        // The keeper may die before reading it all; that must not end this program by SIGPIPE.
        struct sigaction ignore {
        }, previous{};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, &previous);
        const std::string bytes = encodeKeptSelections(kept);
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fds[1], bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                written = false;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        ::sigaction(SIGPIPE, &previous, nullptr);
    }
    ::close(fds[1]);
    // Bounded: a keeper that cannot reach the display ends, which closes the pipe at once.
    if (written) {
        pollfd readable{ready[0], POLLIN, 0};
        while (::poll(&readable, 1, 1000) < 0 && errno == EINTR) {
        }
    }
    ::close(ready[0]);
    return written;
}

}  // namespace orvalin::x11
