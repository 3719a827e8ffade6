#pragma once

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace orvalin::wayland {

// Items handed from one thread to another, in order, with a descriptor that is readable while
// any wait: the taker sleeps in poll or a socket notifier. The two vectors swap, so steady
// traffic allocates nothing.
template <typename T>
class Mailbox {
public:
    Mailbox() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Mailbox() {
        if (fd_ >= 0) ::close(fd_);
    }
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    int fd() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

    void post(T item) {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            wake = items_.empty();
            items_.push_back(std::move(item));
        }
        // Only the first item wakes the taker; it takes every item there is then.
        if (wake) {
            const std::uint64_t one = 1;
            [[maybe_unused]] auto n = ::write(fd_, &one, sizeof one);
        }
    }

    // Everything posted so far, in order, in place of what `out` held.
    void take(std::vector<T>& out) {
        std::uint64_t count = 0;
        [[maybe_unused]] auto n = ::read(fd_, &count, sizeof count);
        out.clear();
        std::lock_guard lock(mutex_);
        std::swap(out, items_);
    }

private:
    int fd_;
    std::mutex mutex_;
    std::vector<T> items_;
};

}  // namespace orvalin::wayland
