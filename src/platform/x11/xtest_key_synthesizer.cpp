#include "platform/x11/xtest_key_synthesizer.h"
#include "core/virtual_keys.h"

#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <QTimer>
#include <cstdlib>

#include "platform/paste_tracker.h"
#include "platform/x11/focused_window.h"
#include "core/key_codes.h"
#include "platform/x11/x11_connection.h"

namespace orvalin::x11 {

namespace {
constexpr auto kRetryInterval = std::chrono::milliseconds(10);
}  // namespace

XTestKeySynthesizer::XTestKeySynthesizer(X11Connection& conn, PasteTracker& tracker, KeycodeLookup lookup,
                                         ModifierTest isModifier, std::chrono::milliseconds modifierWait)
    : conn_(conn),
      tracker_(tracker),
      lookup_(std::move(lookup)),
      isModifier_(std::move(isModifier)),
      modifierWait_(modifierWait),
      retry_(std::make_unique<QTimer>()) {
    retry_->setSingleShot(true);
    retry_->setInterval(kRetryInterval);
    QObject::connect(retry_.get(), &QTimer::timeout, retry_.get(), [this] { pump(); });
}

XTestKeySynthesizer::~XTestKeySynthesizer() = default;

bool XTestKeySynthesizer::available() {
    return !conn_.broken() && conn_.hasExtension("XTEST");
}

void XTestKeySynthesizer::postBackspace() {
    queue_.push_back(Action{false});
    pump();
}

void XTestKeySynthesizer::postCommandV() {
    tracker_.chordQueued();
    queue_.push_back(Action{true});
    pump();
}

std::vector<std::uint8_t> XTestKeySynthesizer::heldModifierKeys() {
    std::vector<std::uint8_t> held;
    xcb_connection_t* c = conn_.raw();
    std::unique_ptr<xcb_query_keymap_reply_t, decltype(&std::free)> keys(
        xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr), &std::free);
    if (!keys) return held;
    for (int byte = 0; byte < 32; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            if ((keys->keys[byte] & (1 << bit)) == 0) continue;
            auto keycode = static_cast<std::uint8_t>(byte * 8 + bit);
            if (isModifier_ && isModifier_(keycode)) held.push_back(keycode);
        }
    }
    return held;
}

void XTestKeySynthesizer::pump() {
    while (!queue_.empty()) {
        if (conn_.broken()) {
            queue_.clear();
            return;
        }
        std::vector<std::uint8_t> held = heldModifierKeys();
        if (!held.empty()) {
            auto now = std::chrono::steady_clock::now();
            if (!waitingSince_) waitingSince_ = now;
            if (now - *waitingSince_ < modifierWait_) {
                retry_->start();
                return;
            }
            // Held too long: let go of them for the target, so it still sees only the chord.
            // The user's own release later is a release of a key already up, which X ignores.
            for (std::uint8_t keycode : held) {
                xcb_test_fake_input(conn_.raw(), XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, XCB_WINDOW_NONE,
                                    0, 0, 0);
            }
        }
        waitingSince_.reset();
        Action action = queue_.front();
        queue_.pop_front();
        send(action);
    }
}

std::uint32_t XTestKeySynthesizer::keycodeFor(std::uint32_t keysym, std::uint16_t virtualKey) {
    if (lookup_) {
        if (auto kc = lookup_(keysym)) return *kc;
    }
    return keycodes::xKeycodeFromVirtualKey(virtualKey).value_or(0);
}

void XTestKeySynthesizer::tap(std::uint32_t keycode, const std::vector<std::uint32_t>& modifiers) {
    xcb_connection_t* c = conn_.raw();
    auto fake = [c](std::uint8_t type, std::uint32_t kc) {
        xcb_test_fake_input(c, type, static_cast<std::uint8_t>(kc), XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0,
                            0);
    };
    for (std::uint32_t m : modifiers) fake(XCB_KEY_PRESS, m);
    fake(XCB_KEY_PRESS, keycode);
    fake(XCB_KEY_RELEASE, keycode);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) fake(XCB_KEY_RELEASE, *it);
    xcb_flush(c);
}

void XTestKeySynthesizer::send(const Action& action) {
    if (!action.paste) {
        std::uint32_t bs = keycodeFor(XKB_KEY_BackSpace, vkey::kBackspace);
        if (bs != 0) tap(bs, {});
        return;
    }
    PasteChord chord = pasteChordForClass(windowClass(conn_, activeWindow(conn_)));
    std::uint32_t control = keycodeFor(XKB_KEY_Control_L, vkey::kLeftControl);
    std::uint32_t shift = keycodeFor(XKB_KEY_Shift_L, vkey::kLeftShift);
    switch (chord) {
        case PasteChord::ControlV:
            tap(keycodeFor(XKB_KEY_v, vkey::kV), {control});
            break;
        case PasteChord::ControlShiftV:
            tap(keycodeFor(XKB_KEY_v, vkey::kV), {control, shift});
            break;
        case PasteChord::ShiftInsert:
            if (tracker_.putDateOnPrimary) tracker_.putDateOnPrimary();
            tap(keycodeFor(XKB_KEY_Insert, vkey::kInsert), {shift});
            break;
    }
    tracker_.chordSent();
}

}  // namespace orvalin::x11
