#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

// A disk of a few pages that can be filled to the last byte: a tmpfs mounted in a mount namespace
// of the calling thread's own (and of the threads it starts later), so that nothing else sees it and
// nothing outlives the test. Needs CAP_SYS_ADMIN; unavailable() says why it could not be made.
class SmallFilesystem {
public:
    explicit SmallFilesystem(std::size_t bytes) {
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
        if (::unshare(CLONE_NEWNS) != 0) {
            unavailable_ = std::string("no mount namespace of our own (") + std::strerror(errno) + ")";
        } else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                   ::mount("orvalin-test", dir_.path().c_str(), "tmpfs", 0, options.c_str()) != 0) {
            unavailable_ = std::string("cannot mount a tmpfs (") + std::strerror(errno) + ")";
        } else {
            mounted_ = true;
        }
    }
    ~SmallFilesystem() {
        if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
    }
    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;

    // Why the file system could not be made; empty when it is there.
    const std::string& unavailable() const { return unavailable_; }
    const std::filesystem::path& path() const { return dir_.path(); }

    // Takes every free byte, in a file of its own outside the folders under test.
    void fill() {
        int fd = ::open(filler().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        const std::vector<char> page(4096, 'f');
        while (::write(fd, page.data(), page.size()) > 0) {
        }
        ::close(fd);
    }
    // Gives back `bytes` of what fill() took (whole pages).
    void release(std::size_t bytes) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(filler(), ec);
        std::filesystem::resize_file(filler(), size > bytes ? size - bytes : 0, ec);
    }

private:
    std::filesystem::path filler() const { return dir_ / "filler"; }

    TempDir dir_{"orvalin-small-disk"};
    std::string unavailable_;
    bool mounted_ = false;
};
