#include "core/temporary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace orvalin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kInfix = ".tmp-";
constexpr std::size_t kRandomLength = 6;  // mkostemp's XXXXXX

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void syncDirectory(const fs::path& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Removes `name` in `dirFd` if it is a regular file nobody holds locked, and still the one looked at.
void removeIfUnlocked(int dirFd, const char* name) {
    // Non-blocking: a pipe planted under such a name must not hold the start up.
    int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino) {
        ::unlinkat(dirFd, name, 0);
    }
    ::close(fd);
}

}  // namespace

TemporaryFile::TemporaryFile(const fs::path& beside) {
    const std::string pattern = beside.string() + kInfix + std::string(kRandomLength, 'X');
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::string path = pattern;
        int fd = ::mkostemp(path.data(), O_CLOEXEC);
        if (fd < 0) return;
        // Waits only while another process's removeStale() looks at the file. That one may have
        // taken it for stale before the lock was held here: a file no longer in the folder is
        // given up for a fresh one. Where files cannot be locked, none is ever removed as stale.
        ::flock(fd, LOCK_EX);
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        path_ = std::move(path);
        fd_ = fd;
        // Whatever the umask: the content is the user's alone.
        failed_ = ::fchmod(fd_, S_IRUSR | S_IWUSR) != 0;
        return;
    }
}

TemporaryFile::~TemporaryFile() {
    if (fd_ < 0) return;
    // Removed while still locked, so that nobody else takes it meanwhile.
    if (!path_.empty()) ::unlink(path_.c_str());
    ::close(fd_);
}

bool TemporaryFile::write(const std::string& content) {
    if (fd_ < 0 || failed_) return false;
    failed_ = !writeAll(fd_, content.data(), content.size());
    return !failed_;
}

bool TemporaryFile::copyFrom(const fs::path& source) {
    if (fd_ < 0 || failed_) return false;
    int in = ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    failed_ = in < 0;
    char buffer[64 * 1024];
    while (!failed_) {
        ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = n < 0;
            break;
        }
        failed_ = !writeAll(fd_, buffer, static_cast<std::size_t>(n));
    }
    if (in >= 0) ::close(in);
    return !failed_;
}

bool TemporaryFile::commit(const fs::path& to) {
    if (fd_ < 0 || failed_ || ::fsync(fd_) != 0 || ::rename(path_.c_str(), to.c_str()) != 0) {
        failed_ = true;
        return false;
    }
    path_.clear();
    ::close(fd_);
    fd_ = -1;
    syncDirectory(to.parent_path());
    return true;
}

void TemporaryFile::removeStale(const fs::path& beside) {
    const std::string prefix = beside.filename().string() + kInfix;
    const fs::path dir = beside.parent_path();
    int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + kRandomLength && name.starts_with(prefix)) {
            removeIfUnlocked(dirFd, name.c_str());
        }
    }
    ::close(dirFd);
}

}  // namespace orvalin
