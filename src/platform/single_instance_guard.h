#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/instance_socket_server.h"

namespace orvalin {

// One running program per user and display. The first start holds a lock file and listens on a
// local socket, both in $XDG_RUNTIME_DIR (or a private folder of the user's cache); a later start
// finds the lock taken, asks the running one to show itself through the socket, and leaves.
// The lock goes with the process, so a crash leaves nothing stale behind. The folder must be the
// user's alone: another user who could hold the lock or plant files there could otherwise keep
// the program from starting or let two instances run.
class SingleInstanceGuard {
public:
    enum class Role { Primary, Secondary, Failed };

    // `key` tells users and displays apart (for example the display name).
    explicit SingleInstanceGuard(const std::string& key, const std::string& directory = defaultDirectory());
    ~SingleInstanceGuard();

    // $XDG_RUNTIME_DIR when it is private to the user, else <$XDG_CACHE_HOME or
    // ~/.cache>/orvalin-runtime-<host name>; without a home, <TMPDIR or /tmp>/orvalin-<uid>.
    static std::string defaultDirectory();
    // Why `directory` is not a real directory (not a link) owned by this user with mode 0700; empty
    // when it is.
    static std::string privateDirectoryProblem(const std::string& directory);

    // Takes the lock and listens (Primary), or finds a running instance (Secondary). Failed, with
    // the reason in failure(), when the directory is not private or the lock cannot be opened.
    // The directory is created, with its missing parents, if need be.
    Role claim();
    // Secondary: asks the running instance to show itself; false when it could not be reached.
    bool notifyPrimary(int timeoutMs = 2000);
    // claim(), then for a Secondary notifyPrimary(), claiming again meanwhile in case the running
    // instance was ending. Secondary with failure() set when it was never reached.
    Role claimOrNotify(int timeoutMs = 2000);
    // Primary: called whenever another start asks.
    void onShowRequested(std::function<void()> handler) { showRequested_ = std::move(handler); }

    const std::string& socketPath() const { return socketPath_; }
    const std::string& failure() const { return failure_; }

private:
    Role claimOnce();

    std::string directory_;
    std::string lockPath_;
    std::string socketPath_;
    std::string failure_;
    int failureError_ = 0;  // the errno behind failure_, when there is one
    int lockFd_ = -1;
    std::unique_ptr<InstanceSocketServer> server_;
    std::function<void()> showRequested_;
};

}  // namespace orvalin
