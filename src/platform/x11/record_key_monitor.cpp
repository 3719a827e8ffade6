#include "platform/x11/record_key_monitor.h"

#include <xcb/xcbext.h>
// xcb/xkb.h names a field `explicit`, a C++ keyword.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdlib>
#include <cstring>

#include "platform/x11/x11_connection.h"
#include "platform/xkb/xkb_keyboard.h"

namespace orvalin::x11 {

namespace {

// The XKB event layouts share this head; xkbType says which one it is.
struct XkbEventHead {
    std::uint8_t responseType;
    std::uint8_t xkbType;
    std::uint16_t sequence;
    xcb_timestamp_t time;
    std::uint8_t deviceId;
};

constexpr std::uint8_t kRecordFromServer = 0;  // XRecordFromServer: recorded protocol data

}  // namespace

RecordKeyMonitor::RecordKeyMonitor(X11Connection& control, const char* displayName, std::string composeLocale)
    : control_(control),
      displayName_(displayName != nullptr ? displayName : ""),
      composeLocale_(std::move(composeLocale)) {}

RecordKeyMonitor::~RecordKeyMonitor() {
    stop();
    if (xkbContext_ != nullptr) xkb_context_unref(xkbContext_);
}

bool RecordKeyMonitor::loadKeymap() {
    if (xkbContext_ == nullptr) xkbContext_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (xkbContext_ == nullptr) return false;
    xcb_connection_t* conn = control_.raw();
    deviceId_ = xkb_x11_get_core_keyboard_device_id(conn);
    if (deviceId_ < 0) return false;
    xkb_keymap* keymap =
        xkb_x11_keymap_new_from_device(xkbContext_, conn, deviceId_, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) return false;
    xkb_state* state = xkb_x11_state_new_from_device(keymap, conn, deviceId_);
    if (state == nullptr) {
        xkb_keymap_unref(keymap);
        return false;
    }
    if (keyboard_) {
        keyboard_->replaceKeymap(keymap, state);
    } else {
        keyboard_ = std::make_unique<xkb::XkbKeyboard>(xkbContext_, keymap, state, composeLocale_);
    }
    keymapStale_ = false;
    return true;
}

bool RecordKeyMonitor::start(Handler handler) {
    if (data_ != nullptr) {
        handler_ = std::make_shared<const Handler>(std::move(handler));
        return true;
    }
    failure_.clear();
    if (!serverOffersAll()) return false;
    watchKeymapChanges();
    if (!recordKeyPresses()) return false;
    handler_ = std::make_shared<const Handler>(std::move(handler));
    return true;
}

bool RecordKeyMonitor::serverOffersAll() {
    if (control_.broken()) {
        failure_ = QCoreApplication::translate("orvalin", "pas de connexion au serveur X").toStdString();
        return false;
    }
    if (!control_.hasExtension("RECORD")) {
        failure_ = QCoreApplication::translate("orvalin", "le serveur X n'offre pas l'extension RECORD")
                       .toStdString();
        return false;
    }
    if (!control_.setUpXkb(&xkbFirstEvent_) || !loadKeymap()) {
        failure_ =
            QCoreApplication::translate("orvalin", "le serveur X n'offre pas l'extension XKB").toStdString();
        return false;
    }
    return true;
}

// Keymap replacements (setxkbmap, a new keyboard) and layout-group switches.
void RecordKeyMonitor::watchKeymapChanges() {
    constexpr std::uint16_t kMapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS |
                                        XCB_XKB_MAP_PART_MODIFIER_MAP | XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS |
                                        XCB_XKB_MAP_PART_KEY_ACTIONS | XCB_XKB_MAP_PART_VIRTUAL_MODS |
                                        XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
    constexpr std::uint16_t kEvents = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY |
                                      XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
    xcb_xkb_select_events_details_t details{};
    details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.affectState = XCB_XKB_STATE_PART_GROUP_LOCK;
    details.stateDetails = XCB_XKB_STATE_PART_GROUP_LOCK;
    xcb_xkb_select_events_aux(control_.raw(), static_cast<xcb_xkb_device_spec_t>(deviceId_), kEvents, 0, 0,
                              kMapParts, kMapParts, &details);
    listenerId_ = control_.addListener([this](const xcb_generic_event_t& e) { onControlEvent(e); });
}

// The context records the key presses of every client, present and future.
bool RecordKeyMonitor::recordKeyPresses() {
    xcb_connection_t* conn = control_.raw();
    context_ = xcb_generate_id(conn);
    xcb_record_range_t range{};
    range.device_events.first = XCB_KEY_PRESS;
    // Presses only: each carries the modifier state of its moment, so releases need not be read
    // (half the wake-ups while typing).
    range.device_events.last = XCB_KEY_PRESS;
    xcb_record_client_spec_t clients = XCB_RECORD_CS_ALL_CLIENTS;
    auto created = xcb_record_create_context_checked(conn, context_, 0, 1, 1, &clients, &range);
    if (xcb_generic_error_t* error = xcb_request_check(conn, created)) {
        std::free(error);
        failure_ = QCoreApplication::translate("orvalin",
                                               "le serveur X refuse l'enregistrement des touches (RECORD)")
                       .toStdString();
        teardown();
        return false;
    }

    data_ = xcb_connect(displayName_.empty() ? nullptr : displayName_.c_str(), nullptr);
    if (data_ == nullptr || xcb_connection_has_error(data_) != 0) {
        failure_ =
            QCoreApplication::translate("orvalin", "seconde connexion au serveur X impossible").toStdString();
        teardown();
        return false;
    }
    enableSequence_ = xcb_record_enable_context(data_, context_).sequence;
    xcb_flush(data_);
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(data_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readRecorded(); });
    return true;
}

void RecordKeyMonitor::stop() {
    handler_.reset();
    teardown();
}

std::optional<std::uint32_t> RecordKeyMonitor::keycodeForKeysym(std::uint32_t keysym) {
    if (keymapStale_) loadKeymap();
    if (!keyboard_) return std::nullopt;
    return keyboard_->keycodeForKeysym(keysym);
}

bool RecordKeyMonitor::isModifierKeycode(std::uint32_t keycode) {
    if (keymapStale_) loadKeymap();
    return keyboard_ && keyboard_->isModifierKey(keycode);
}

void RecordKeyMonitor::teardown() {
    if (notifier_) {
        notifier_->setEnabled(false);
        // Stopped from within a key handler: the notifier is still in use, delete it later.
        if (reading_) {
            notifier_.release()->deleteLater();
        } else {
            notifier_.reset();
        }
    }
    if (context_ != 0 && !control_.broken()) {
        // Disabling from the control connection ends the stream on the data connection.
        xcb_record_disable_context(control_.raw(), context_);
        xcb_record_free_context(control_.raw(), context_);
        xcb_flush(control_.raw());
    }
    context_ = 0;
    if (data_ != nullptr) {
        xcb_disconnect(data_);
        data_ = nullptr;
    }
    if (listenerId_ != 0) {
        control_.removeListener(listenerId_);
        listenerId_ = 0;
    }
}

void RecordKeyMonitor::onControlEvent(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) != xkbFirstEvent_) return;
    const auto& head = reinterpret_cast<const XkbEventHead&>(event);
    if (static_cast<std::int32_t>(head.deviceId) != deviceId_) return;
    switch (head.xkbType) {
        case XCB_XKB_NEW_KEYBOARD_NOTIFY:
        case XCB_XKB_MAP_NOTIFY:
            // Reloaded before the next key is read; a burst of notifications costs one reload.
            keymapStale_ = true;
            break;
        case XCB_XKB_STATE_NOTIFY: {
            const auto& state = reinterpret_cast<const xcb_xkb_state_notify_event_t&>(event);
            if (keyboard_ && keyboard_->lockedGroup() != state.lockedGroup)
                keyboard_->setLockedGroup(state.lockedGroup);
            break;
        }
        default:
            break;
    }
}

void RecordKeyMonitor::readRecorded() {
    if (data_ == nullptr) return;
    reading_ = true;
    // Keymap and group changes already sent by the server apply to the keys that follow them.
    control_.dispatchPending();
    for (;;) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (data_ == nullptr || xcb_poll_for_reply(data_, enableSequence_, &reply, &error) == 0) break;
        if (error != nullptr) std::free(error);
        if (reply == nullptr) break;
        auto* r = static_cast<xcb_record_enable_context_reply_t*>(reply);
        if (r->category == kRecordFromServer) {
            handleRecordedBytes(xcb_record_enable_context_data(r), xcb_record_enable_context_data_length(r));
        }
        std::free(reply);
    }
    if (data_ != nullptr && xcb_connection_has_error(data_) != 0) {
        // The server went away; the control connection reports the loss. Stop reading so the loop
        // does not spin on a dead socket.
        if (notifier_) notifier_->setEnabled(false);
    }
    reading_ = false;
}

void RecordKeyMonitor::handleRecordedBytes(const std::uint8_t* data, int length) {
    // Device events come as 32-byte core key events: type, X key code, ..., state at byte 28.
    for (int offset = 0; offset + 32 <= length; offset += 32) {
        const std::uint8_t* e = data + offset;
        if ((e[0] & 0x7F) != XCB_KEY_PRESS) continue;
        if (keymapStale_ && !loadKeymap()) continue;
        if (!keyboard_) continue;
        std::uint16_t state = 0;
        std::memcpy(&state, e + 28, sizeof state);
        xkb::TranslatedKey key = keyboard_->pressWithModifiers(e[1], state);
        // Modifier keys alone do not count as key presses, as on every desktop's key-down monitor.
        if (key.isModifierKey || !handler_) continue;
        if (suppressed_ && suppressed_()) continue;
        KeyEvent event{key.virtualKey, key.modifiers, key.characters};
        const std::shared_ptr<const Handler> handler = handler_;  // the handler may stop the monitor
        (*handler)(event);
    }
}

}  // namespace orvalin::x11
