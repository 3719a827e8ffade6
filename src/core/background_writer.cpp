#include "core/background_writer.h"

#include <utility>

namespace orvalin {

BackgroundWriter::BackgroundWriter(Write write) : write_(std::move(write)) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

BackgroundWriter::Ticket BackgroundWriter::submit(std::string content) {
    Ticket ticket;
    {
        std::lock_guard lock(mutex_);
        waiting_ = std::move(content);
        ticket = ++issued_;
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
    return ticket;
}

bool BackgroundWriter::waitFor(Ticket ticket) {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return tried_ >= ticket; });
    return written_ >= ticket;
}

BackgroundWriter::Ticket BackgroundWriter::lastTicket() const {
    std::lock_guard lock(mutex_);
    return issued_;
}

// What is waiting when asked to stop is still written: stopping is how the program ends.
void BackgroundWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return waiting_.has_value() || stopping_; });
        if (!waiting_) return;
        const std::string content = std::move(*waiting_);
        waiting_.reset();
        const Ticket ticket = issued_;
        lock.unlock();
        const bool ok = write_(content);
        lock.lock();
        tried_ = ticket;
        if (ok) written_ = ticket;
        done_.notify_all();
    }
}

}  // namespace orvalin
