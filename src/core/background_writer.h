#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace orvalin {

// Hands whole-file contents to a thread of its own, which writes them in the order given. Only
// the newest content matters: one handed over while another is being written replaces any still
// waiting, so a burst of edits costs the caller nothing and the disk one or two writes.
class BackgroundWriter {
public:
    // Called on the writer's thread, one content at a time; true when it was written.
    using Write = std::function<bool(const std::string& content)>;
    using Ticket = std::uint64_t;

    explicit BackgroundWriter(Write write);
    // Writes what is still waiting, then stops the thread.
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Queues `content` in place of anything still waiting; the thread starts on first use.
    Ticket submit(std::string content);
    // Waits until the content of `ticket`, or a newer one, has been tried; whether it was written.
    bool waitFor(Ticket ticket);
    // The newest ticket handed out; 0 before the first.
    Ticket lastTicket() const;

private:
    void run();

    Write write_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;  // work waits, or the writer must stop
    std::condition_variable done_;  // a content has been tried
    std::optional<std::string> waiting_;
    Ticket issued_ = 0;
    Ticket tried_ = 0;
    Ticket written_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace orvalin
