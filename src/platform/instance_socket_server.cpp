#include "platform/instance_socket_server.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <optional>

namespace orvalin {

namespace {

// After running out of descriptors or memory, accepting is tried again this much later rather than
// at once, which would spin on a socket that stays readable.
constexpr std::chrono::milliseconds kAcceptRetryDelay{200};

enum class ReadState { Waiting, Done };

// Reads what has arrived without waiting; Done once the line is complete, the client has gone or
// it sent more than a line may hold. The complete line goes to `message`.
ReadState readAvailable(int fd, std::string& received, std::optional<std::string>& message) {
    char buffer[InstanceSocketServer::kMaxMessageLength + 1];
    for (;;) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK ? ReadState::Waiting : ReadState::Done;
        if (n == 0) return ReadState::Done;
        received.append(buffer, static_cast<std::size_t>(n));
        if (auto end = received.find('\n'); end != std::string::npos) {
            if (end < InstanceSocketServer::kMaxMessageLength) message = received.substr(0, end);
            return ReadState::Done;
        }
        if (received.size() >= InstanceSocketServer::kMaxMessageLength) return ReadState::Done;
    }
}

}  // namespace

InstanceSocketServer::InstanceSocketServer(MessageHandler onMessage) : onMessage_(std::move(onMessage)) {}

InstanceSocketServer::~InstanceSocketServer() {
    for (Connection& connection : connections_) ::close(connection.fd);
    connections_.clear();
    acceptNotifier_.reset();
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(path_.c_str());
    }
}

bool InstanceSocketServer::listen(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        error_ = QCoreApplication::translate("orvalin", "chemin de socket trop long : %1")
                     .arg(QString::fromStdString(path))
                     .toStdString();
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    bool ok = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
              ::chmod(path.c_str(), 0600) == 0 && ::listen(fd, SOMAXCONN) == 0;
    if (!ok) {
        error_ = path + " : " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    listenFd_ = fd;
    path_ = path;
    acceptNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(acceptNotifier_.get(), &QSocketNotifier::activated, acceptNotifier_.get(),
                     [this] { acceptPending(); });
    return true;
}

void InstanceSocketServer::acceptPending() {
    for (;;) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            admit(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) pauseAccepting();
        return;
    }
}

void InstanceSocketServer::pauseAccepting() {
    acceptNotifier_->setEnabled(false);
    QTimer::singleShot(kAcceptRetryDelay, acceptNotifier_.get(),
                       [this] { acceptNotifier_->setEnabled(true); });
}

void InstanceSocketServer::admit(int fd) {
    // A client usually wrote its line before being accepted: then the connection is done at once.
    std::string received;
    std::optional<std::string> message;
    if (readAvailable(fd, received, message) == ReadState::Done) {
        ::close(fd);
        if (message) onMessage_(*message);
        return;
    }
    if (connections_.size() >= kMaxOpenConnections) close(connections_.begin());
    Connection& connection = connections_.emplace_back();
    connection.fd = fd;
    connection.received = std::move(received);
    connection.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(connection.notifier.get(), &QSocketNotifier::activated, connection.notifier.get(),
                     [this, &connection] {
                         std::optional<std::string> line;
                         if (readAvailable(connection.fd, connection.received, line) == ReadState::Waiting)
                             return;
                         closeConnection(connection);
                         if (line) onMessage_(*line);
                     });
    connection.idle = std::make_unique<QTimer>();
    connection.idle->setSingleShot(true);
    QObject::connect(connection.idle.get(), &QTimer::timeout, connection.idle.get(),
                     [this, &connection] { closeConnection(connection); });
    connection.idle->start(kIdleTimeout);
}

void InstanceSocketServer::closeConnection(Connection& connection) {
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
        if (&*it == &connection) {
            close(it);
            return;
        }
    }
}

void InstanceSocketServer::close(ConnectionList::iterator connection) {
    // Called from the connection's own notifier or timer: those go once control is back in the loop.
    connection->notifier->setEnabled(false);
    connection->notifier.release()->deleteLater();
    connection->idle->stop();
    connection->idle.release()->deleteLater();
    ::close(connection->fd);
    connections_.erase(connection);
}

}  // namespace orvalin
