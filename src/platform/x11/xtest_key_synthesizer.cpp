#include "platform/x11/xtest_key_synthesizer.h"
#include "core/virtual_keys.h"

#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "core/key_codes.h"
#include "platform/x11/focused_window.h"
#include "platform/x11/paste_chord_listener.h"
#include "platform/x11/x11_connection.h"

namespace orvalin::x11 {

namespace {
constexpr auto kRetryInterval = std::chrono::milliseconds(10);
}  // namespace

XTestKeySynthesizer::XTestKeySynthesizer(X11Connection& conn, PasteChordListener& chords,
                                         KeycodeLookup lookup, ModifierTest isModifier,
                                         std::chrono::milliseconds modifierWait)
    : conn_(conn),
      chords_(chords),
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

bool XTestKeySynthesizer::postBackspace() {
    return post(Action{false});
}

bool XTestKeySynthesizer::postCommandV() {
    chords_.chordQueued();
    return post(Action{true});
}

// Keys usually go out at once: the caller then learns whether they could be typed. A key still
// waiting for the user's modifiers counts as posted; should it fail later, the listener hears it.
bool XTestKeySynthesizer::post(Action action) {
    queue_.push_back(action);
    pump();
    if (!queue_.empty() || lastSendWorked_) return true;
    dropNextPaste_ = false;  // the caller knows and sends no paste after a failed Backspace
    return false;
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
            dropQueue();
            return;
        }
        // The keys of one insertion go out in one turn of the loop: the modifiers are asked for
        // once, so no round trip to the server lets the user's next keys in between.
        std::vector<std::uint8_t> held;
        if (!modifiersFreeThisTurn_) held = heldModifierKeys();
        if (held.empty() && !modifiersFreeThisTurn_) {
            modifiersFreeThisTurn_ = true;
            QTimer::singleShot(0, retry_.get(), [this] { modifiersFreeThisTurn_ = false; });
        }
        if (!held.empty()) {
            auto now = std::chrono::steady_clock::now();
            if (!waitingSince_) waitingSince_ = now;
            if (now - *waitingSince_ < modifierWait_) {
                releaseServer();
                xcb_flush(conn_.raw());
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
        if (action.paste && !chordPrepared_) releaseServer();
        preparePaste();
        queue_.pop_front();
        holdServer();
        lastSendWorked_ = send(action);
    }
    releaseServer();
    xcb_flush(conn_.raw());
}

// Another client's keys (a typing tool, an on-screen keyboard) would otherwise be served between
// our Backspaces and the paste, and land in front of the date. The server is held only while it
// reads this one write: no reply is awaited in between.
// The chord is chosen, and the date put on PRIMARY for it, before the server is held: both talk to
// other clients (the focused window's class, the selection's owner), which a held server never
// serves.
void XTestKeySynthesizer::preparePaste() {
    if (serverHeld_ || chordPrepared_) return;
    if (std::none_of(queue_.begin(), queue_.end(), [](const Action& a) { return a.paste; })) return;
    preparedChord_ = pasteChord();
    chordPrepared_ = true;
    if (preparedChord_) chords_.chordChosen(preparedChord_->fromPrimary);
}

void XTestKeySynthesizer::holdServer() {
    if (serverHeld_) return;
    xcb_grab_server(conn_.raw());
    serverHeld_ = true;
}

void XTestKeySynthesizer::releaseServer() {
    if (!serverHeld_) return;
    xcb_ungrab_server(conn_.raw());
    serverHeld_ = false;
}

// Keys that can no longer go out: the clipboard must learn that their pastes never will, or it
// would hold its restore back for a fetch that cannot come.
void XTestKeySynthesizer::dropQueue() {
    std::deque<Action> dropped = std::exchange(queue_, {});
    chordPrepared_ = false;
    preparedChord_.reset();
    waitingSince_.reset();
    lastSendWorked_ = false;
    for (const Action& action : dropped) {
        if (action.paste) chords_.chordFailed();
    }
}

std::optional<std::uint32_t> XTestKeySynthesizer::keycodeFor(std::uint32_t keysym, std::uint16_t virtualKey,
                                                             const char* name) {
    std::optional<std::uint32_t> keycode =
        lookup_ ? lookup_(keysym) : keycodes::xKeycodeFromVirtualKey(virtualKey);
    auto reported = std::find(reportedMissing_.begin(), reportedMissing_.end(), name);
    if (keycode && reported != reportedMissing_.end()) reportedMissing_.erase(reported);
    if (!keycode && reported == reportedMissing_.end()) {
        reportedMissing_.emplace_back(name);
        std::cerr << QCoreApplication::translate(
                         "orvalin",
                         "orvalin : aucune touche de la disposition du clavier ne donne « %1 » : "
                         "la date n'est pas collée")
                         .arg(QCoreApplication::translate("orvalin", name))
                         .toStdString()
                  << "\n";
    }
    return keycode;
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
}

bool XTestKeySynthesizer::send(const Action& action) {
    return action.paste ? sendPaste() : sendBackspace();
}

bool XTestKeySynthesizer::sendBackspace() {
    std::optional<std::uint32_t> backspace =
        keycodeFor(XKB_KEY_BackSpace, vkey::kBackspace, QT_TRANSLATE_NOOP("orvalin", "Retour arrière"));
    if (!backspace) {
        dropNextPaste_ = true;
        return false;
    }
    tap(*backspace, {});
    return true;
}

bool XTestKeySynthesizer::sendPaste() {
    std::optional<Chord> chord = std::exchange(preparedChord_, std::nullopt);
    chordPrepared_ = false;
    if (std::exchange(dropNextPaste_, false)) chord.reset();
    if (!chord) {
        chords_.chordFailed();
        return false;
    }
    tap(chord->key, chord->modifiers);
    // Whatever follows the chord (the hold of the user's keys) leaves in the same write: no key
    // of the user's can come between them.
    chords_.chordTyped();
    releaseServer();
    xcb_flush(conn_.raw());
    if (conn_.broken()) {
        chords_.chordFailed();  // the chord never reached the server
        return false;
    }
    chords_.chordSent();
    return true;
}

std::optional<XTestKeySynthesizer::Chord> XTestKeySynthesizer::pasteChord() {
    const PasteChord kind = pasteChordForClass(windowClass(conn_, activeWindow(conn_)));
    const bool insert = kind == PasteChord::ShiftInsert;
    auto key = insert ? keycodeFor(XKB_KEY_Insert, vkey::kInsert, QT_TRANSLATE_NOOP("orvalin", "Inser"))
                      : keycodeFor(XKB_KEY_v, vkey::kV, "V");
    auto shift = kind != PasteChord::ControlV
                     ? keycodeFor(XKB_KEY_Shift_L, vkey::kLeftShift, QT_TRANSLATE_NOOP("orvalin", "Maj"))
                     : std::optional<std::uint32_t>(0);
    auto control =
        !insert ? keycodeFor(XKB_KEY_Control_L, vkey::kLeftControl, QT_TRANSLATE_NOOP("orvalin", "Ctrl"))
                : std::optional<std::uint32_t>(0);
    if (!key || !shift || !control) return std::nullopt;
    switch (kind) {
        case PasteChord::ControlV:
            return Chord{*key, {*control}, false};
        case PasteChord::ControlShiftV:
            return Chord{*key, {*control, *shift}, false};
        case PasteChord::ShiftInsert:
            return Chord{*key, {*shift}, true};
    }
    return std::nullopt;
}

}  // namespace orvalin::x11
