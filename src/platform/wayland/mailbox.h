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

    // `wake` false: the item waits, without a system call, for the next one that wakes the taker.
    void post(T item, bool wake = true) {
        {
            std::lock_guard lock(mutex_);
            items_.push_back(std::move(item));
            // Only the first wake-up counts; the taker takes every item there is then.
            wake = wake && !signalled_;
            if (wake) signalled_ = true;
        }
        if (wake) signal();
    }

    // The items waiting, if any, are for the taker now.
    void wake() {
        {
            std::lock_guard lock(mutex_);
            if (items_.empty() || signalled_) return;
            signalled_ = true;
        }
        signal();
    }

    // Everything posted so far, in order, in place of what `out` held.
    void take(std::vector<T>& out) {
        std::uint64_t count = 0;
        [[maybe_unused]] auto n = ::read(fd_, &count, sizeof count);
        out.clear();
        std::lock_guard lock(mutex_);
        std::swap(out, items_);
        signalled_ = false;
    }

private:
    void signal() {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto n = ::write(fd_, &one, sizeof one);
    }

    int fd_;
    std::mutex mutex_;
    std::vector<T> items_;
    bool signalled_ = false;
};

}  // namespace orvalin::wayland
