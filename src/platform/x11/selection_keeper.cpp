#include "platform/x11/selection_keeper.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace orvalin::x11 {

SelectionKeeper::SelectionKeeper(xcb_connection_t* c, std::vector<KeptSelection> kept)
    : c_(c), kept_(std::move(kept)) {
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    window_ = xcb_generate_id(c_);
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, root_, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    // Everything beyond what one request may carry is refused rather than sent in pieces.
    maxBytes_ = static_cast<std::size_t>(xcb_get_maximum_request_length(c_)) * 4 - 64;
}

int SelectionKeeper::run() {
    since_ = serverTime();
    for (const KeptSelection& k : kept_) {
        xcb_atom_t selection = atom(k.selection);
        xcb_set_selection_owner(c_, window_, selection, since_);
        std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
            xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, selection), nullptr), &std::free);
        if (owner && owner->owner == window_) owned_[selection] = &k;
    }
    // The program that started us waits for this before it ends, so that the selections are
    // never left without an owner in between.
    const char ready = 1;
    [[maybe_unused]] const auto said = ::write(STDOUT_FILENO, &ready, 1);
    ::close(STDOUT_FILENO);
    while (!owned_.empty()) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_wait_for_event(c_), &std::free);
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

xcb_atom_t SelectionKeeper::atom(const std::string& name) {
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
xcb_timestamp_t SelectionKeeper::serverTime() {
    xcb_change_property(c_, XCB_PROP_MODE_APPEND, window_, atom("ORVALIN_KEEPER"), XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(c_);
    for (;;) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_wait_for_event(c_), &std::free);
        if (!event) return XCB_CURRENT_TIME;
        if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY)
            return reinterpret_cast<xcb_property_notify_event_t*>(event.get())->time;
    }
}

// The X targets a MIME type is offered under; plain text also under the usual text names.
std::vector<std::pair<xcb_atom_t, const std::string*>> SelectionKeeper::offers(const KeptSelection& k) {
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

bool SelectionKeeper::reply(const xcb_selection_request_event_t& request, xcb_atom_t property) {
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
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_INTEGER, 32, 1,
                            &since_);
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

void SelectionKeeper::answer(const xcb_selection_request_event_t& request) {
    // Clients from before ICCCM name no property: the target is used instead.
    const xcb_atom_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = reply(request, property) ? property : xcb_atom_t{XCB_ATOM_NONE};
    xcb_send_event(c_, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&notify));
    xcb_flush(c_);
}

}  // namespace orvalin::x11
