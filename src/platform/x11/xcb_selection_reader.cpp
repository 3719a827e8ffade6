#include "platform/x11/xcb_selection_reader.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "platform/x11/x11_connection.h"

namespace orvalin::x11 {

namespace {

using Clock = std::chrono::steady_clock;

// Far more than any program offers (an office suite lists a few dozen).
constexpr std::size_t kMaxFormats = 256;

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// Names that describe the selection or ask the owner to act, not content.
bool isContentTarget(const std::string& name) {
    // Qt's private image alias too: the image travels in its real image/* formats.
    static const std::array<const char*, 7> kSkipped = {"TARGETS",
                                                        "MULTIPLE",
                                                        "TIMESTAMP",
                                                        "DELETE",
                                                        "SAVE_TARGETS",
                                                        "INSERT_SELECTION",
                                                        "application/x-qt-image"};
    return !name.empty() && std::none_of(kSkipped.begin(), kSkipped.end(),
                                         [&](const char* skipped) { return name == skipped; });
}

struct Property {
    xcb_atom_t type = XCB_ATOM_NONE;
    std::string bytes;
    bool truncated = false;
};

// Reads and deletes the property (deleting is what asks an owner for its next increment).
std::optional<Property> takeProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                                     std::size_t maxBytes) {
    const auto words = static_cast<std::uint32_t>(std::min<std::size_t>(maxBytes / 4 + 1, UINT32_MAX / 4));
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            c, xcb_get_property(c, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, words), nullptr),
        &std::free);
    if (!reply || reply->type == XCB_ATOM_NONE) return std::nullopt;
    Property p;
    p.type = reply->type;
    const int length = xcb_get_property_value_length(reply.get());
    p.bytes.assign(static_cast<const char*>(xcb_get_property_value(reply.get())),
                   static_cast<std::size_t>(length));
    p.truncated = reply->bytes_after > 0 || p.bytes.size() > maxBytes;
    return p;
}

}  // namespace

XcbSelectionReader::XcbSelectionReader(X11Connection& conn)
    : conn_(conn),
      property_(conn.atom("ORVALIN_SELECTION")),
      targets_(conn.atom("TARGETS")),
      incr_(conn.atom("INCR")) {
    listener_ = conn_.addListener([this](const xcb_generic_event_t& e) {
        for (Read& r : reads_) {
            if (concerns(r, e)) {
                handle(r, e);
                return;
            }
        }
    });
}

XcbSelectionReader::~XcbSelectionReader() {
    conn_.removeListener(listener_);
    for (Read& r : reads_) drop(r);
}

void XcbSelectionReader::start(bool primary, Done done) {
    Read& r = reads_[primary ? 1 : 0];
    drop(r);
    r = Read{};
    r.selection = primary ? static_cast<xcb_atom_t>(XCB_ATOM_PRIMARY) : conn_.atom("CLIPBOARD");
    r.done = std::move(done);
    if (conn_.broken()) {
        finish(r, false);
        return;
    }
    xcb_connection_t* c = conn_.raw();
    if (!owned(r.selection)) {
        finish(r, true);  // nobody holds it: it is empty, and empty is what comes back
        return;
    }
    // A window of our own per read: a late answer meant for an abandoned read finds it gone.
    r.window = xcb_generate_id(c);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, r.window, conn_.root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    r.deadline = Clock::now() + bound;
    r.timer = std::make_unique<QTimer>();
    r.timer->setSingleShot(true);
    QObject::connect(r.timer.get(), &QTimer::timeout, r.timer.get(), [this, &r, window = r.window] {
        // Answers that came while this program was busy elsewhere count: the bound is the owner's.
        conn_.dispatchPending();
        if (r.window == window) finish(r, false);
    });
    r.timer->start(bound);
    r.asked = targets_;
    xcb_convert_selection(c, r.window, r.selection, targets_, property_, XCB_CURRENT_TIME);
    xcb_flush(c);
}

bool XcbSelectionReader::owned(xcb_atom_t selection) {
    xcb_connection_t* c = conn_.raw();
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr), &std::free);
    return !owner || owner->owner != XCB_WINDOW_NONE;  // no answer: assume someone, to be safe
}

bool XcbSelectionReader::settle(bool primary, std::chrono::milliseconds atMost) {
    Read& r = reads_[primary ? 1 : 0];
    const auto until = std::min(Clock::now() + atMost, r.deadline);
    while (r.window != XCB_WINDOW_NONE) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        if (left.count() <= 0) break;
        auto event = conn_.waitForEvent([&](const xcb_generic_event_t& e) { return concerns(r, e); }, left);
        if (!event) break;
        handle(r, *reinterpret_cast<const xcb_generic_event_t*>(event->data()));
    }
    if (r.window != XCB_WINDOW_NONE && Clock::now() >= r.deadline) finish(r, false);
    return r.window == XCB_WINDOW_NONE;
}

bool XcbSelectionReader::concerns(const Read& r, const xcb_generic_event_t& e) const {
    if (r.window == XCB_WINDOW_NONE) return false;
    switch (e.response_type & 0x7F) {
        case XCB_SELECTION_NOTIFY:
            return reinterpret_cast<const xcb_selection_notify_event_t&>(e).requestor == r.window;
        case XCB_PROPERTY_NOTIFY:
            return reinterpret_cast<const xcb_property_notify_event_t&>(e).window == r.window;
        default:
            return false;
    }
}

void XcbSelectionReader::handle(Read& r, const xcb_generic_event_t& e) {
    if ((e.response_type & 0x7F) == XCB_SELECTION_NOTIFY) {
        onNotify(r, reinterpret_cast<const xcb_selection_notify_event_t&>(e));
    } else {
        onProperty(r, reinterpret_cast<const xcb_property_notify_event_t&>(e));
    }
    // Replies waited for above may have brought events along that the socket will not announce.
    QTimer::singleShot(0, &context_, [this] { conn_.dispatchPending(); });
}

void XcbSelectionReader::onNotify(Read& r, const xcb_selection_notify_event_t& e) {
    if (e.target != r.asked || r.incremental) return;
    if (e.property == XCB_ATOM_NONE) {
        // A listed format the owner cannot give after all: there is nothing of it to lose. Without
        // even a list, nothing is known of the content.
        if (r.asked == targets_) {
            finish(r, false);
        } else {
            r.formats.pop_front();
            askNext(r);
        }
        return;
    }
    std::optional<Property> p = takeProperty(conn_.raw(), r.window, property_, formatCap);
    if (!p) {
        finish(r, false);
        return;
    }
    if (p->type == incr_) {
        r.incremental = true;  // the owner sends the increments as each one is deleted
        xcb_flush(conn_.raw());
        return;
    }
    if (p->truncated) {
        finish(r, false);
        return;
    }
    if (r.asked == targets_) {
        takeTargets(r, p->bytes);
    } else if (takeFormat(r, std::move(p->bytes))) {
        askNext(r);
    }
}

void XcbSelectionReader::onProperty(Read& r, const xcb_property_notify_event_t& e) {
    if (!r.incremental || e.atom != property_ || e.state != XCB_PROPERTY_NEW_VALUE) return;
    std::optional<Property> p = takeProperty(conn_.raw(), r.window, property_, formatCap - r.incoming.size());
    if (!p || p->truncated) {
        finish(r, false);
        return;
    }
    if (!p->bytes.empty()) {
        r.incoming += p->bytes;
        xcb_flush(conn_.raw());
        return;
    }
    // An empty increment ends the transfer.
    r.incremental = false;
    if (r.asked == targets_) {
        takeTargets(r, std::exchange(r.incoming, {}));
    } else if (takeFormat(r, std::exchange(r.incoming, {}))) {
        askNext(r);
    }
}

void XcbSelectionReader::takeTargets(Read& r, const std::string& atoms) {
    xcb_connection_t* c = conn_.raw();
    std::vector<xcb_atom_t> listed(atoms.size() / sizeof(xcb_atom_t));
    if (listed.size() > kMaxFormats) {
        finish(r, false);  // reading only some would lose the others
        return;
    }
    std::copy_n(atoms.data(), listed.size() * sizeof(xcb_atom_t), reinterpret_cast<char*>(listed.data()));
    std::vector<xcb_get_atom_name_cookie_t> cookies;
    cookies.reserve(listed.size());
    for (xcb_atom_t a : listed) cookies.push_back(xcb_get_atom_name(c, a));
    for (std::size_t i = 0; i < listed.size(); ++i) {
        Reply<xcb_get_atom_name_reply_t> name(xcb_get_atom_name_reply(c, cookies[i], nullptr), &std::free);
        if (!name) continue;
        std::string text(xcb_get_atom_name_name(name.get()),
                         static_cast<std::size_t>(xcb_get_atom_name_name_length(name.get())));
        const bool seen = std::any_of(r.formats.begin(), r.formats.end(),
                                      [&](const auto& f) { return f.first == listed[i]; });
        if (isContentTarget(text) && !seen) r.formats.emplace_back(listed[i], std::move(text));
    }
    askNext(r);
}

bool XcbSelectionReader::takeFormat(Read& r, std::string bytes) {
    r.total += bytes.size();
    if (r.total > totalCap) {
        finish(r, false);
        return false;
    }
    r.content.items.emplace_back(r.formats.front().second, std::move(bytes));
    r.formats.pop_front();
    return true;
}

void XcbSelectionReader::askNext(Read& r) {
    if (r.formats.empty()) {
        finish(r, true);
        return;
    }
    r.asked = r.formats.front().first;
    xcb_convert_selection(conn_.raw(), r.window, r.selection, r.asked, property_, XCB_CURRENT_TIME);
    xcb_flush(conn_.raw());
}

void XcbSelectionReader::finish(Read& r, bool readable) {
    Done done = std::move(r.done);
    PasteboardSnapshot content = std::move(r.content);
    content.unreadable = !readable;
    if (!readable) content.items.clear();
    drop(r);
    if (done) done(std::move(content));
}

void XcbSelectionReader::drop(Read& r) {
    if (r.timer) r.timer->stop();
    // The timer may be the one calling: it goes once the event loop is back.
    if (r.timer) r.timer.release()->deleteLater();
    if (r.window != XCB_WINDOW_NONE && !conn_.broken()) {
        xcb_destroy_window(conn_.raw(), r.window);
        xcb_flush(conn_.raw());
    }
    r.window = XCB_WINDOW_NONE;
    r.done = nullptr;
    r.formats.clear();
    r.incremental = false;
    r.incoming.clear();
}

}  // namespace orvalin::x11
