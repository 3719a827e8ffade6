#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <string>

namespace orvalin {

// The running instance's end of the local socket through which a later start asks it to show
// itself. It reads one short line per connection, however the line is split on the way, and then
// closes the connection; a connection that says nothing is closed after a short while, and only a
// few are kept open at once (the oldest gives way). Nothing a client does, and no failure to
// accept one, stops it listening.
class InstanceSocketServer {
public:
    using MessageHandler = std::function<void(const std::string& line)>;

    static constexpr std::chrono::milliseconds kIdleTimeout{2000};
    static constexpr std::size_t kMaxOpenConnections = 16;
    static constexpr std::size_t kMaxMessageLength = 64;

    explicit InstanceSocketServer(MessageHandler onMessage);
    ~InstanceSocketServer();
    InstanceSocketServer(const InstanceSocketServer&) = delete;
    InstanceSocketServer& operator=(const InstanceSocketServer&) = delete;

    // Listens at `path` (readable and writable by this user only); false with error() otherwise.
    bool listen(const std::string& path);
    const std::string& error() const { return error_; }

private:
    struct Connection {
        int fd = -1;
        std::string received;
        std::unique_ptr<QSocketNotifier> notifier;
        std::unique_ptr<QTimer> idle;
    };
    using ConnectionList = std::list<Connection>;

    void acceptPending();
    void pauseAccepting();
    void admit(int fd);
    void close(ConnectionList::iterator connection);
    void closeConnection(Connection& connection);

    MessageHandler onMessage_;
    int listenFd_ = -1;
    std::string path_;
    std::string error_;
    std::unique_ptr<QSocketNotifier> acceptNotifier_;
    ConnectionList connections_;
};

}  // namespace orvalin
