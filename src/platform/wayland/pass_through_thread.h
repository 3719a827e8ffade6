#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/news_pace.h"
#include "platform/wayland/key_passage.h"
#include "platform/wayland/keyboard_grab.h"
#include "platform/wayland/mailbox.h"
#include "platform/wayland/pass_through_messages.h"
#include "platform/wayland/trigger_watch.h"
#include "platform/wayland/wayland_text_inserter.h"

namespace orvalin::wayland {

class WaylandConnection;
class InputMethod;
class VirtualKeyboard;

// The thread that passes the user's keys on: it alone reads and writes the compositor
// connection once started, sleeping in epoll on the connection and on the main thread's
// requests. Each key goes on at once and is then told to the main thread; the insertions the
// main thread asks for are made here, in order with the keys.
class PassThroughThread final : private KeyboardGrab::Listener, private KeyPassage::Sink {
public:
    PassThroughThread(WaylandConnection& connection, InputMethod& inputMethod, VirtualKeyboard& keyboard,
                      std::string composeLocale);
    // Makes every request posted so far, lets go of the keyboard and ends the thread.
    ~PassThroughThread() override;
    PassThroughThread(const PassThroughThread&) = delete;
    PassThroughThread& operator=(const PassThroughThread&) = delete;

    // From now on the connection is this thread's; false when it cannot start.
    bool run();
    void post(PassThroughRequest request) { requests_.post(std::move(request)); }
    // What the thread tells, for the main thread to take.
    Mailbox<PassThroughNews>& news() { return news_; }
    // From the main thread: it judged a key of focus period `period` (see NewsPace).
    void answered(std::uint64_t period, bool ownWindow) { pace_.answered(period, ownWindow); }

private:
    bool watchDescriptors();
    void watchRoom(bool wanted);
    void loop();
    int pollTimeout();
    KeyPassage::Clock::time_point now();
    void startIdleBound();
    void idleBoundPassed();
    void handleRequests();
    void handle(PassThroughRequest& request);
    void letGo();
    void tell(PassThroughNews news);

    // KeyboardGrab::Listener
    void pressed(std::uint32_t time, std::uint32_t key, const xkb::TranslatedKey* translated) override;
    void released(std::uint32_t time, std::uint32_t key) override;
    void modifiersChanged(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                          std::uint32_t group) override;
    // KeyPassage::Sink
    void forwardKey(std::uint32_t time, std::uint32_t key, std::uint32_t state) override;
    void forwardModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                          std::uint32_t group) override;
    void insert(std::size_t erase, std::string_view text) override;

    WaylandConnection& connection_;
    InputMethod& inputMethod_;
    VirtualKeyboard& keyboard_;
    KeyboardGrab grab_;
    KeyPassage passage_;
    TriggerWatch watch_;
    NewsPace pace_;
    WaylandTextInserter inserter_;
    std::uint64_t lastId_ = 0;
    std::optional<KeyPassage::Clock::time_point> now_;  // read once a turn, when needed
    bool quitting_ = false;

    Mailbox<PassThroughRequest> requests_;
    Mailbox<PassThroughNews> news_;
    int idleTimer_;  // a timerfd: waiting keys' idle bound
    int events_;     // the epoll set the thread sleeps on
    bool watchingRoom_ = false;
    static constexpr std::uint32_t kConnection = 1, kRequests = 2, kIdleBound = 4;
    std::vector<PassThroughRequest> taken_;
    std::thread thread_;
};

}  // namespace orvalin::wayland
