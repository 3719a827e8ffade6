#include "platform/single_instance_guard.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace orvalin {

namespace {

constexpr char kShowMessage[] = "show";

std::string sanitized(const std::string& key) {
    std::string out;
    for (char c : key) out += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-') ? c : '_';
    return out.empty() ? std::string("default") : out;
}

std::optional<std::string> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return value;
}

// $XDG_CACHE_HOME, else the .cache folder of the home; none when the home is not known.
std::optional<std::string> cacheDirectory() {
    if (auto cache = absoluteVariable("XDG_CACHE_HOME")) return cache;
    std::optional<std::string> home = absoluteVariable("HOME");
    if (!home) {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
            found->pw_dir != nullptr && found->pw_dir[0] == '/') {
            home = found->pw_dir;
        }
    }
    if (!home) return std::nullopt;
    return *home + "/.cache";
}

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

// Makes `directory`, and whichever of its parents are missing, private to the user. One made at
// the same moment by another start is as good.
void makePrivateDirectory(const std::string& directory) {
    if (::mkdir(directory.c_str(), 0700) == 0) {
        ::chmod(directory.c_str(), 0700);  // whatever the umask
        return;
    }
    const auto slash = directory.find_last_of('/');
    if (errno != ENOENT || slash == 0 || slash == std::string::npos) return;
    makePrivateDirectory(directory.substr(0, slash));
    if (::mkdir(directory.c_str(), 0700) == 0) ::chmod(directory.c_str(), 0700);
}

}  // namespace

std::string SingleInstanceGuard::defaultDirectory() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir != nullptr && dir[0] == '/') {
        if (privateDirectoryProblem(dir).empty()) return dir;
    }
    // No usable runtime directory: a folder of the user's own cache, where no other user can take
    // the name first (as anyone can in a shared temporary folder, keeping the program from
    // starting). Named after the machine, as one home may serve several. It is created by claim().
    if (auto cache = cacheDirectory()) return *cache + "/orvalin-runtime-" + sanitized(hostName());
    // No home either: a private folder of the temporary one, which claim() refuses if another made it.
    std::string base = absoluteVariable("TMPDIR").value_or("/tmp");
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
    // A start at the same moment as another, or a cleaner emptying the folder, can remove what was
    // just made: it is made again rather than given up on.
    Role role = Role::Failed;
    for (int attempt = 0; attempt < 5; ++attempt) {
        role = claimOnce();
        if (role != Role::Failed || failureError_ != ENOENT) break;
    }
    return role;
}

SingleInstanceGuard::Role SingleInstanceGuard::claimOnce() {
    // Created private if missing; whoever made it, it must be ours alone, or another user could
    // hold the lock or plant files in it.
    makePrivateDirectory(directory_);
    errno = 0;
    failure_ = privateDirectoryProblem(directory_);
    failureError_ = failure_.empty() ? 0 : errno;  // set only when the folder could not be looked at
    if (!failure_.empty()) return Role::Failed;
    lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ < 0) {
        failureError_ = errno;
        failure_ = lockPath_ + " : " + std::strerror(failureError_);
        return Role::Failed;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(lockFd_);
        lockFd_ = -1;
        if (error == EWOULDBLOCK) return Role::Secondary;
        failureError_ = error;
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

SingleInstanceGuard::Role SingleInstanceGuard::claimOrNotify(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    Role role = claim();
    // An instance that does not answer may be ending: once it has, its lock is free for this one.
    while (role == Role::Secondary && !notifyPrimary(std::min<qint64>(500, timeoutMs - clock.elapsed()))) {
        if (clock.elapsed() >= timeoutMs) {
            failure_ = "une autre instance tourne déjà mais ne répond pas";
            break;
        }
        role = claim();
    }
    return role;
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
