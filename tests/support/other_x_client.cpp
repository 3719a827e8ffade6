#include "support/other_x_client.h"

#include <xcb/xtest.h>

#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>

namespace {
xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    xcb_atom_t a = r != nullptr ? r->atom : 0;
    std::free(r);
    return a;
}
}  // namespace

OtherXClient::OtherXClient() : c_(xcb_connect(nullptr, nullptr)) {
    if (ok()) root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
}

OtherXClient::~OtherXClient() {
    stop_ = true;
    if (owner_.joinable()) owner_.join();
    xcb_disconnect(c_);
}

bool OtherXClient::ok() const {
    return xcb_connection_has_error(c_) == 0;
}

void OtherXClient::key(std::uint8_t type, std::uint8_t keycode) {
    xcb_test_fake_input(c_, type, keycode, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
    xcb_flush(c_);
}

xcb_window_t OtherXClient::window(const std::string& wmClass, std::uint32_t pid) {
    xcb_window_t w = xcb_generate_id(c_);
    // Like any application window it takes key events: the server delivers the keys to someone,
    // which is also when it sends recorded data out.
    std::uint32_t mask = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE;
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root_, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    std::string cls = wmClass + '\0' + wmClass + '\0';
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(cls.size()), cls.data());
    if (pid != 0) {
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                            &pid);
    }
    xcb_map_window(c_, w);
    xcb_flush(c_);
    return w;
}

void OtherXClient::focus(xcb_window_t w) {
    xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, w, XCB_CURRENT_TIME);
    xcb_flush(c_);
    std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
}

void OtherXClient::setActive(xcb_window_t w) {
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, root_, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1,
                        &w);
    xcb_flush(c_);
}

void OtherXClient::takeClipboardAndHang() {
    xcb_set_selection_owner(c_, window("Hang"), atom("CLIPBOARD"), XCB_CURRENT_TIME);
    xcb_flush(c_);
}

bool OtherXClient::anyKeyDown() {
    auto* r = xcb_query_keymap_reply(c_, xcb_query_keymap(c_), nullptr);
    bool down = false;
    for (int i = 0; r != nullptr && i < 32; ++i) down = down || r->keys[i] != 0;
    std::free(r);
    return down;
}

bool OtherXClient::keyboardHeldByAnother() {
    auto cookie = xcb_grab_keyboard(c_, 0, root_, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(c_, cookie, nullptr);
    const bool held = reply != nullptr && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    if (reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_keyboard(c_, XCB_CURRENT_TIME);
        xcb_flush(c_);
    }
    std::free(reply);
    return held;
}
void OtherXClient::takeClipboardListingFormatsOnly(int answerAfterMs, const char* selection) {
    std::atomic<bool> owning{false};
    owner_ = std::thread([this, &owning, answerAfterMs, selection] {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c) != 0) {
            xcb_disconnect(c);
            owning = true;
            return;
        }
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        const xcb_atom_t targets = internAtom(c, "TARGETS");
        const xcb_atom_t listed[] = {targets,
                                     internAtom(c, "UTF8_STRING"),
                                     internAtom(c, "STRING"),
                                     internAtom(c, "text/plain"),
                                     internAtom(c, "text/html"),
                                     internAtom(c, "text/uri-list"),
                                     internAtom(c, "image/png")};
        xcb_set_selection_owner(c, w, internAtom(c, selection), XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        owning = true;
        while (!stop_ && xcb_connection_has_error(c) == 0) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> e(xcb_poll_for_event(c), &std::free);
            if (!e) {
                pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
                ::poll(&pfd, 1, 50);
                continue;
            }
            if ((e->response_type & 0x7F) != XCB_SELECTION_REQUEST) continue;
            const auto& request = *reinterpret_cast<const xcb_selection_request_event_t*>(e.get());
            if (answerAfterMs < 0 && request.target != targets) continue;  // the data itself never comes
            if (answerAfterMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(answerAfterMs));
            if (request.target == targets) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                                    XCB_ATOM_ATOM, 32, std::size(listed), listed);
            } else {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                                    request.target, 8, 4, "late");
            }
            xcb_selection_notify_event_t notify{};
            notify.response_type = XCB_SELECTION_NOTIFY;
            notify.time = request.time;
            notify.requestor = request.requestor;
            notify.selection = request.selection;
            notify.target = request.target;
            notify.property = request.property;
            xcb_send_event(c, 0, request.requestor, 0, reinterpret_cast<const char*>(&notify));
            xcb_flush(c);
        }
        xcb_disconnect(c);
    });
    while (!owning) std::this_thread::yield();
}

xcb_atom_t OtherXClient::atom(const char* name) {
    return internAtom(c_, name);
}
