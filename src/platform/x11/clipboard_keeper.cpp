#include "platform/x11/clipboard_keeper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

extern char** environ;

namespace orvalin::x11 {

namespace {

constexpr std::string_view kMagic = "orvalin-kept-1\n";

void putSize(std::string& out, std::size_t n) {
    const auto v = static_cast<std::uint32_t>(n);
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}
void putString(std::string& out, const std::string& s) {
    putSize(out, s.size());
    out += s;
}

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    std::optional<std::uint32_t> size() {
        std::uint32_t v = 0;
        if (bytes_.size() - pos_ < sizeof v) return std::nullopt;
        std::memcpy(&v, bytes_.data() + pos_, sizeof v);
        pos_ += sizeof v;
        return v;
    }
    std::optional<std::string> string() {
        auto n = size();
        if (!n || bytes_.size() - pos_ < *n) return std::nullopt;
        std::string s = bytes_.substr(pos_, *n);
        pos_ += *n;
        return s;
    }
    bool skip(std::string_view expected) {
        if (bytes_.compare(pos_, expected.size(), expected) != 0) return false;
        pos_ += expected.size();
        return true;
    }
    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    const std::string& bytes_;
    std::size_t pos_ = 0;
};

std::string readAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return bytes;
        }
    }
}

// Serves the kept selections from a window of its own, answering every request the way a
// selection owner must, until it owns none of them any more.
class Keeper {
public:
    Keeper(xcb_connection_t* c, std::vector<KeptSelection> kept) : c_(c), kept_(std::move(kept)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        window_ = xcb_generate_id(c_);
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, root_, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
        // Everything beyond what one request may carry is refused rather than sent in pieces.
        maxBytes_ = static_cast<std::size_t>(xcb_get_maximum_request_length(c_)) * 4 - 64;
    }

    int run() {
        since_ = serverTime();
        for (const KeptSelection& k : kept_) {
            xcb_atom_t selection = atom(k.selection);
            xcb_set_selection_owner(c_, window_, selection, since_);
            std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
                xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, selection), nullptr),
                &std::free);
            if (owner && owner->owner == window_) owned_[selection] = &k;
        }
        // The program that started us waits for this before it ends, so that the selections are
        // never left without an owner in between.
        const char ready = 1;
        [[maybe_unused]] const auto said = ::write(STDOUT_FILENO, &ready, 1);
        ::close(STDOUT_FILENO);
        while (!owned_.empty()) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_wait_for_event(c_),
                                                                             &std::free);
            if (!event) break;  // the display went away
            switch (event->response_type & 0x7F) {
                case XCB_SELECTION_REQUEST:
                    answer(*reinterpret_cast<xcb_selection_request_event_t*>(event.get()));
                    break;
                case XCB_SELECTION_CLEAR:
                    owned_.erase(reinterpret_cast<xcb_selection_clear_event_t*>(event.get())->selection);
                    break;
                default:
                    break;
            }
        }
        return 0;
    }

private:
    xcb_atom_t atom(const std::string& name) {
        auto it = atoms_.find(name);
        if (it != atoms_.end()) return it->second;
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(
                c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr),
            &std::free);
        xcb_atom_t a = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        atoms_[name] = a;
        return a;
    }

    // A timestamp of the server's: a zero-length append to a property of our window.
    xcb_timestamp_t serverTime() {
        xcb_change_property(c_, XCB_PROP_MODE_APPEND, window_, atom("ORVALIN_KEEPER"), XCB_ATOM_STRING, 8, 0,
                            nullptr);
        xcb_flush(c_);
        for (;;) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_wait_for_event(c_),
                                                                             &std::free);
            if (!event) return XCB_CURRENT_TIME;
            if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY)
                return reinterpret_cast<xcb_property_notify_event_t*>(event.get())->time;
        }
    }

    // The X targets a MIME type is offered under; plain text also under the usual text names.
    std::vector<std::pair<xcb_atom_t, const std::string*>> offers(const KeptSelection& k) {
        std::vector<std::pair<xcb_atom_t, const std::string*>> list;
        for (const auto& [type, data] : k.items) {
            list.emplace_back(atom(type), &data);
            if (type == "text/plain" || type == "text/plain;charset=utf-8") {
                for (const char* alias : {"UTF8_STRING", "TEXT", "text/plain;charset=utf-8"})
                    list.emplace_back(atom(alias), &data);
            }
        }
        return list;
    }

    bool reply(const xcb_selection_request_event_t& request, xcb_atom_t property) {
        auto it = owned_.find(request.selection);
        if (it == owned_.end()) return false;
        const auto list = offers(*it->second);
        if (request.target == atom("TARGETS")) {
            std::vector<xcb_atom_t> targets = {atom("TARGETS"), atom("TIMESTAMP")};
            for (const auto& offer : list) targets.push_back(offer.first);
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32,
                                static_cast<std::uint32_t>(targets.size()), targets.data());
            return true;
        }
        if (request.target == atom("TIMESTAMP")) {
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_INTEGER, 32,
                                1, &since_);
            return true;
        }
        for (const auto& [target, data] : list) {
            if (target != request.target || data->size() > maxBytes_) continue;
            const xcb_atom_t type = target == atom("TEXT") ? atom("UTF8_STRING") : target;
            xcb_change_property(c_, XCB_PROP_MODE_REPLACE, request.requestor, property, type, 8,
                                static_cast<std::uint32_t>(data->size()), data->data());
            return true;
        }
        return false;
    }

    void answer(const xcb_selection_request_event_t& request) {
        // Clients from before ICCCM name no property: the target is used instead.
        const xcb_atom_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = reply(request, property) ? property : xcb_atom_t{XCB_ATOM_NONE};
        xcb_send_event(c_, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&notify));
        xcb_flush(c_);
    }

    xcb_connection_t* c_;
    std::vector<KeptSelection> kept_;
    xcb_window_t root_ = 0;
    xcb_window_t window_ = 0;
    xcb_timestamp_t since_ = XCB_CURRENT_TIME;
    std::size_t maxBytes_ = 0;
    std::map<std::string, xcb_atom_t> atoms_;
    std::map<xcb_atom_t, const KeptSelection*> owned_;
};

}  // namespace

std::string encodeKeptSelections(const std::vector<KeptSelection>& kept) {
    std::string out(kMagic);
    putSize(out, kept.size());
    for (const KeptSelection& k : kept) {
        putString(out, k.selection);
        putSize(out, k.items.size());
        for (const auto& [type, data] : k.items) {
            putString(out, type);
            putString(out, data);
        }
    }
    return out;
}

std::vector<KeptSelection> decodeKeptSelections(const std::string& bytes) {
    Reader in(bytes);
    if (!in.skip(kMagic)) return {};
    auto count = in.size();
    if (!count) return {};
    std::vector<KeptSelection> kept;
    for (std::uint32_t i = 0; i < *count; ++i) {
        KeptSelection k;
        auto name = in.string();
        auto items = in.size();
        if (!name || !items) return {};
        k.selection = *name;
        for (std::uint32_t j = 0; j < *items; ++j) {
            auto type = in.string();
            auto data = in.string();
            if (!type || !data) return {};
            k.items.emplace_back(std::move(*type), std::move(*data));
        }
        kept.push_back(std::move(k));
    }
    if (!in.atEnd()) return {};
    return kept;
}

int runClipboardKeeper(int inputFd) {
    std::vector<KeptSelection> kept = decodeKeptSelections(readAll(inputFd));
    if (kept.empty()) return 1;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (c == nullptr || xcb_connection_has_error(c) != 0) {
        if (c != nullptr) xcb_disconnect(c);
        return 1;
    }
    const int status = Keeper(c, std::move(kept)).run();
    xcb_disconnect(c);
    return status;
}

bool startClipboardKeeper(const std::string& program, const std::vector<KeptSelection>& kept) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    // Its own session: the terminal's or the session's end of this program does not reach it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    std::string argument = kKeeperArgument;
    char* argv[] = {const_cast<char*>(program.c_str()), argument.data(), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(fds[0]);
    ::close(ready[1]);
    bool written = spawned == 0;
    if (written) {
        // The keeper may die before reading it all; that must not end this program by SIGPIPE.
        struct sigaction ignore {
        }, previous{};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, &previous);
        const std::string bytes = encodeKeptSelections(kept);
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fds[1], bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                written = false;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        ::sigaction(SIGPIPE, &previous, nullptr);
    }
    ::close(fds[1]);
    // Bounded: a keeper that cannot reach the display ends, which closes the pipe at once.
    if (written) {
        pollfd readable{ready[0], POLLIN, 0};
        while (::poll(&readable, 1, 1000) < 0 && errno == EINTR) {
        }
    }
    ::close(ready[0]);
    return written;
}

}  // namespace orvalin::x11
