#include "platform/wayland/pass_through_thread.h"

#include <pthread.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>

#include "platform/wayland/input_method.h"
#include "platform/wayland/virtual_keyboard.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/xkb/xkb_keyboard.h"

namespace orvalin::wayland {

PassThroughThread::PassThroughThread(WaylandConnection& connection, InputMethod& inputMethod,
                                     VirtualKeyboard& keyboard, std::string composeLocale)
    : connection_(connection),
      inputMethod_(inputMethod),
      keyboard_(keyboard),
      grab_(inputMethod, keyboard, std::move(composeLocale), *this),
      passage_(*this),
      inserter_(inputMethod, keyboard),
      idleTimer_(::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)),
      events_(::epoll_create1(EPOLL_CLOEXEC)) {}

// A thread that never ran never took the grab: its requests are made on the thread only.
PassThroughThread::~PassThroughThread() {
    if (thread_.joinable()) {
        post({.kind = PassThroughRequest::Kind::Quit});
        thread_.join();
    }
    if (idleTimer_ >= 0) ::close(idleTimer_);
    if (events_ >= 0) ::close(events_);
}

// What the thread sleeps on, given once: epoll keeps it, where poll would hook the thread onto
// each descriptor again at every key and unhook it after.
bool PassThroughThread::watchDescriptors() {
    if (requests_.fd() < 0 || idleTimer_ < 0 || events_ < 0) return false;
    const std::pair<int, std::uint32_t> watched[] = {{wl_display_get_fd(connection_.display()), kConnection},
                                                     {requests_.fd(), kRequests},
                                                     {idleTimer_, kIdleBound}};
    for (auto [fd, tag] : watched) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u32 = tag;
        if (::epoll_ctl(events_, EPOLL_CTL_ADD, fd, &event) != 0) return false;
    }
    return true;
}

// Room in the socket is waited for only while requests are left unsent.
void PassThroughThread::watchRoom(bool wanted) {
    if (wanted == watchingRoom_) return;
    epoll_event event{};
    event.events = EPOLLIN | (wanted ? EPOLLOUT : 0U);
    event.data.u32 = kConnection;
    ::epoll_ctl(events_, EPOLL_CTL_MOD, wl_display_get_fd(connection_.display()), &event);
    watchingRoom_ = wanted;
}

bool PassThroughThread::run() {
    if (thread_.joinable() || !news_.valid() || !watchDescriptors()) return false;
    inputMethod_.onFocusChange([this] {
        // The engine starts afresh in the new field.
        watch_.clear();
        pace_.focusChanged();
        tell({.kind = PassThroughNews::Kind::FocusChange});
    });
    inputMethod_.onUnavailable([this] {
        // The seat went, or the compositor gave it to another input method: stop holding keys.
        letGo();
        tell({.kind = PassThroughNews::Kind::AccessLost});
    });
    // Signals are the main thread's to take (the program's own handlers wake its loop).
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    thread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "orvalin-keys");  // told apart in top and perf
        loop();
    });
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return true;
}

// Each key wakes this thread with cold caches, so a turn touches as little as it can: most keys
// read no clock and arm no timer.
void PassThroughThread::loop() {
    for (;;) {
        connection_.prepareRead();
        connection_.flush();
        if (connection_.broken()) break;
        watchRoom(connection_.unsent());
        epoll_event ready[3];
        const int count = ::epoll_wait(events_, ready, 3, pollTimeout());
        std::uint32_t which = 0;
        for (int i = 0; i < count; ++i) {
            const std::uint32_t what = ready[i].events;
            if (ready[i].data.u32 != kConnection || (what & (EPOLLIN | EPOLLERR | EPOLLHUP)) != 0)
                which |= ready[i].data.u32;
        }
        now_.reset();
        connection_.finishRead((which & kConnection) != 0);
        // Requests posted before the end are still made.
        if ((which & kRequests) != 0) handleRequests();
        if (quitting_) {
            letGo();
            connection_.flush();
            return;
        }
        if (passage_.deadline()) passage_.expire(now());
        if ((which & kIdleBound) != 0) idleBoundPassed();
    }
    tell({.kind = PassThroughNews::Kind::ConnectionLost});
}

// One reading of the clock serves the whole turn: its work takes microseconds.
KeyPassage::Clock::time_point PassThroughThread::now() {
    if (!now_) now_ = KeyPassage::Clock::now();
    return *now_;
}

// Armed once for the first key that waits, not at every turn.
void PassThroughThread::startIdleBound() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(NewsPace::kIdleBound);
    itimerspec bound{};
    bound.it_value.tv_sec = seconds.count();
    bound.it_value.tv_nsec = std::chrono::nanoseconds(NewsPace::kIdleBound - seconds).count();
    ::timerfd_settime(idleTimer_, 0, &bound, nullptr);
}

void PassThroughThread::idleBoundPassed() {
    std::uint64_t expirations = 0;
    [[maybe_unused]] auto n = ::read(idleTimer_, &expirations, sizeof expirations);
    // Keys that went with other news in the meantime left nothing to tell.
    if (pace_.due()) news_.wake();
}

// News other than keys wakes the main thread, with the keys that waited before it.
void PassThroughThread::tell(PassThroughNews news) {
    pace_.woken();
    news_.post(std::move(news));
}

// Asleep at rest: a timeout only while keys wait for an answer.
int PassThroughThread::pollTimeout() {
    const auto deadline = passage_.deadline();
    if (!deadline) return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - now()).count();
    return static_cast<int>(std::clamp<long long>(left + 1, 0, KeyPassage::kAnswerBound.count() + 1));
}

void PassThroughThread::handleRequests() {
    requests_.take(taken_);
    for (PassThroughRequest& request : taken_) handle(request);
}

void PassThroughThread::handle(PassThroughRequest& request) {
    switch (request.kind) {
        case PassThroughRequest::Kind::Start:
            grab_.start();
            return;
        case PassThroughRequest::Kind::Stop:
            letGo();
            return;
        case PassThroughRequest::Kind::Insert:
            passage_.insert(request.id, request.erase, request.text);
            return;
        case PassThroughRequest::Kind::Answered:
            passage_.answered(request.id, now());
            return;
        case PassThroughRequest::Kind::Triggers:
            watch_.setTriggers(std::move(request.triggers));
            pace_.setCombinationKeys(std::move(request.combinationKeys));
            return;
        case PassThroughRequest::Kind::Quit:
            quitting_ = true;
            return;
    }
}

// The grab's releases now go to the application directly: a key passed on as pressed would
// stay down in it otherwise.
void PassThroughThread::letGo() {
    if (!grab_.started()) return;
    grab_.stop();
    passage_.releaseAll();
}

void PassThroughThread::pressed(std::uint32_t time, std::uint32_t key, const xkb::TranslatedKey* translated) {
    if (translated != nullptr && translated->isModifierKey) {
        passage_.press(time, key, 0, false, {});
        return;
    }
    const std::uint64_t id = ++lastId_;
    if (translated == nullptr) {
        passage_.press(time, key, id, false, {});
        return;
    }
    const KeyEvent event{translated->virtualKey, translated->modifiers, translated->characters};
    const bool barrier = watch_.mayComplete(event);
    passage_.press(time, key, id, barrier, barrier ? now() : KeyPassage::Clock::time_point{});
    const NewsPace::Tell tell = pace_.urgency(event, barrier, inputMethod_.active());
    if (tell == NewsPace::Tell::LaterFromHere) startIdleBound();
    news_.post({PassThroughNews::Kind::Key, id, pace_.period(), barrier, translated->virtualKey,
                translated->modifiers, translated->characters},
               tell == NewsPace::Tell::Now);
}

void PassThroughThread::released(std::uint32_t time, std::uint32_t key) {
    passage_.release(time, key);
}

void PassThroughThread::modifiersChanged(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                                         std::uint32_t group) {
    passage_.modifiers(depressed, latched, locked, group);
}

void PassThroughThread::forwardKey(std::uint32_t time, std::uint32_t key, std::uint32_t state) {
    keyboard_.forwardKey(time, key, state);
}

void PassThroughThread::forwardModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                                         std::uint32_t group) {
    keyboard_.forwardModifiers(depressed, latched, locked, group);
}

void PassThroughThread::insert(std::size_t erase, std::string_view text) {
    inserter_.insertText(erase, text);
}

}  // namespace orvalin::wayland
