#include "platform/single_instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvalin {

namespace {

constexpr char kShowMessage[] = "show";

std::string sanitized(const std::string& key) {
    std::string out;
    for (char c : key) out += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-') ? c : '_';
    return out.empty() ? std::string("default") : out;
}

}  // namespace

std::string SingleInstanceGuard::defaultDirectory() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir != nullptr && dir[0] == '/') {
        if (privateDirectoryProblem(dir).empty()) return dir;
    }
    // No usable runtime directory: a private one in the temporary folder, named after the user.
    // It is created (or accepted) by claim(), which checks that nobody else made it.
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
    return base + "/orvalin-" + std::to_string(::getuid());
}

std::string SingleInstanceGuard::privateDirectoryProblem(const std::string& directory) {
    const QString folder = QString::fromStdString(directory);
    auto problem = [](const QString& text) { return text.toStdString(); };
    struct stat st {};
    if (::lstat(directory.c_str(), &st) != 0) {
        return problem(QCoreApplication::translate("orvalin", "le dossier %1 est inaccessible (%2)")
                           .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    }
    // A link planted in the directory's place is refused, not followed.
    if (S_ISLNK(st.st_mode))
        return problem(
            QCoreApplication::translate("orvalin", "le dossier %1 est un lien symbolique").arg(folder));
    if (!S_ISDIR(st.st_mode))
        return problem(QCoreApplication::translate("orvalin", "%1 n'est pas un dossier").arg(folder));
    if (st.st_uid != ::geteuid()) {
        return problem(
            QCoreApplication::translate("orvalin", "le dossier %1 appartient à un autre utilisateur (uid %2)")
                .arg(folder)
                .arg(st.st_uid));
    }
    if ((st.st_mode & 07777) != 0700) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        return problem(QCoreApplication::translate("orvalin", "le dossier %1 a les droits %2 au lieu de 0700")
                           .arg(folder, QString::fromLatin1(mode)));
    }
    return {};
}

SingleInstanceGuard::SingleInstanceGuard(const std::string& key, const std::string& directory)
    : directory_(directory) {
    std::string base = directory + "/orvalin-" + sanitized(key);
    lockPath_ = base + ".lock";
    socketPath_ = base + ".sock";
}

SingleInstanceGuard::~SingleInstanceGuard() {
    server_.reset();
    if (lockFd_ >= 0) ::close(lockFd_);
}

SingleInstanceGuard::Role SingleInstanceGuard::claim() {
    // Created private if missing; whoever made it, it must be ours alone, or another user could
    // hold the lock or plant files in it.
    if (::mkdir(directory_.c_str(), 0700) == 0) ::chmod(directory_.c_str(), 0700);  // whatever the umask
    failure_ = privateDirectoryProblem(directory_);
    if (!failure_.empty()) return Role::Failed;
    lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ < 0) {
        failure_ = lockPath_ + " : " + std::strerror(errno);
        return Role::Failed;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(lockFd_);
        lockFd_ = -1;
        if (error == EWOULDBLOCK) return Role::Secondary;
        failure_ = lockPath_ + " : " + std::strerror(error);
        return Role::Failed;
    }
    // The lock is ours: any socket file left is stale.
    ::unlink(socketPath_.c_str());
    server_ = std::make_unique<InstanceSocketServer>([this](const std::string& line) {
        // Only the one short message is understood.
        if (line == kShowMessage && showRequested_) showRequested_();
    });
    if (!server_->listen(socketPath_)) {
        // Still the one instance (the lock says so), only unreachable for later starts.
        failure_ = server_->error();
    }
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
            socket.write(QByteArray(kShowMessage).append('\n'));
            bool ok = socket.waitForBytesWritten(500);
            socket.disconnectFromServer();
            return ok;
        }
        ::usleep(50 * 1000);
    }
    return false;
}

}  // namespace orvalin
