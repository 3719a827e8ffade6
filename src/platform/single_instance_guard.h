#pragma once

#include <QLocalServer>
#include <QObject>
#include <functional>
#include <memory>
#include <string>

namespace orvalin {

// One running program per user and display. The first start holds a lock file and listens on a
// local socket, both in $XDG_RUNTIME_DIR; a later start finds the lock taken, asks the running one
// to show itself through the socket, and leaves. The lock goes with the process, so a crash
// leaves nothing stale behind.
class SingleInstanceGuard {
public:
    enum class Role { Primary, Secondary, Failed };

    // `key` tells users and displays apart (for example the display name).
    explicit SingleInstanceGuard(const std::string& key, const std::string& directory = defaultDirectory());
    ~SingleInstanceGuard();

    static std::string defaultDirectory();

    // Takes the lock and listens (Primary), or finds a running instance (Secondary).
    Role claim();
    // Secondary: asks the running instance to show itself; false when it could not be reached.
    bool notifyPrimary(int timeoutMs = 2000);
    // Primary: called whenever another start asks.
    void onShowRequested(std::function<void()> handler) { showRequested_ = std::move(handler); }

    const std::string& socketPath() const { return socketPath_; }
    const std::string& failure() const { return failure_; }

private:
    std::string lockPath_;
    std::string socketPath_;
    std::string failure_;
    int lockFd_ = -1;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> showRequested_;
};

}  // namespace orvalin
