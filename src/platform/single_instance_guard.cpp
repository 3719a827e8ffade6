#include "platform/single_instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace orvalin {

namespace {

constexpr char kShowMessage[] = "show\n";

std::string sanitized(const std::string& key) {
    std::string out;
    for (char c : key) out += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-') ? c : '_';
    return out.empty() ? std::string("default") : out;
}

}  // namespace

std::string SingleInstanceGuard::defaultDirectory() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir != nullptr && dir[0] == '/') {
        struct stat st {};
        if (::stat(dir, &st) == 0 && S_ISDIR(st.st_mode)) return dir;
    }
    // No runtime directory: a private one under /tmp, named after the user.
    std::string dir = "/tmp/orvalin-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    return dir;
}

SingleInstanceGuard::SingleInstanceGuard(const std::string& key, const std::string& directory) {
    std::string base = directory + "/orvalin-" + sanitized(key);
    lockPath_ = base + ".lock";
    socketPath_ = base + ".sock";
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (server_) {
        server_->close();
        ::unlink(socketPath_.c_str());
    }
    if (lockFd_ >= 0) ::close(lockFd_);
}

SingleInstanceGuard::Role SingleInstanceGuard::claim() {
    lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        failure_ = std::strerror(errno);
        return Role::Failed;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
        if (errno == EWOULDBLOCK) return Role::Secondary;
        failure_ = std::strerror(errno);
        return Role::Failed;
    }
    // The lock is ours: any socket file left is stale.
    ::unlink(socketPath_.c_str());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(QString::fromStdString(socketPath_))) {
        // Still the one instance (the lock says so), only unreachable for later starts.
        failure_ = server_->errorString().toStdString();
        return Role::Primary;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                // Only the one short message is understood; anything longer is dropped.
                QByteArray line = socket->readLine(64);
                if (line == kShowMessage && showRequested_) showRequested_();
                socket->disconnectFromServer();
            });
        }
    });
    return Role::Primary;
}

bool SingleInstanceGuard::notifyPrimary(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    // The running instance may still be starting up: try again until it listens.
    while (clock.elapsed() < timeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(socketPath_));
        if (socket.waitForConnected(200)) {
            socket.write(kShowMessage);
            bool ok = socket.waitForBytesWritten(500);
            socket.disconnectFromServer();
            return ok;
        }
        ::usleep(50 * 1000);
    }
    return false;
}

}  // namespace orvalin
