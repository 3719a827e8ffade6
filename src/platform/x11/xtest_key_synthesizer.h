#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/platform.h"

class QTimer;

namespace orvalin::x11 {

class X11Connection;
class PasteChordListener;
enum class PasteChord;

// Posts Backspace and the focused window's paste chord through XTest. Keys go out in the order
// asked for; while the user still holds modifiers (say Control and Alt of a combination that just
// fired) they wait for the release, at most about a second, so that the target sees exactly the
// chord. Every key pressed is released again. A key that no key of the current layout types is
// never sent as some other key: the call fails (or, for a key that waited, the paste is counted
// as failed), and the missing key is named once on standard error. Each paste chord's course is
// told to a listener.
class XTestKeySynthesizer final : public KeySynthesizer {
public:
    // Key code for a keysym in the current keymap, nothing when no key types it. Without a lookup
    // the keys are taken at their usual places.
    using KeycodeLookup = std::function<std::optional<std::uint32_t>(std::uint32_t keysym)>;
    // Whether an X key code is a modifier key in the current keymap.
    using ModifierTest = std::function<bool(std::uint32_t keycode)>;

    XTestKeySynthesizer(X11Connection& conn, PasteChordListener& chords, KeycodeLookup lookup,
                        ModifierTest isModifier,
                        std::chrono::milliseconds modifierWait = std::chrono::milliseconds(1000));
    ~XTestKeySynthesizer() override;

    bool postBackspace() override;
    bool postCommandV() override;

    bool available();

private:
    struct Action {
        bool paste = false;
    };
    struct Chord {
        std::uint32_t key = 0;
        std::vector<std::uint32_t> modifiers;
        bool fromPrimary = false;
    };
    bool post(Action action);
    void pump();
    void dropQueue();
    std::vector<std::uint8_t> heldModifierKeys();
    bool send(const Action& action);
    void preparePaste();
    void holdServer();
    void releaseServer();
    bool sendBackspace();
    bool sendPaste();
    std::optional<Chord> pasteChord();
    void tap(std::uint32_t keycode, const std::vector<std::uint32_t>& modifiers);
    std::optional<std::uint32_t> keycodeFor(std::uint32_t keysym, std::uint16_t virtualKey, const char* name);

    X11Connection& conn_;
    PasteChordListener& chords_;
    KeycodeLookup lookup_;
    ModifierTest isModifier_;
    std::chrono::milliseconds modifierWait_;
    std::deque<Action> queue_;
    std::optional<std::chrono::steady_clock::time_point> waitingSince_;
    bool lastSendWorked_ = true;
    bool modifiersFreeThisTurn_ = false;
    bool serverHeld_ = false;  // between the first key of a turn and its last
    bool chordPrepared_ = false;
    std::optional<Chord> preparedChord_;
    // A Backspace that could not go out: the paste that follows it must not either.
    bool dropNextPaste_ = false;
    std::vector<std::string> reportedMissing_;
    std::unique_ptr<QTimer> retry_;
};

}  // namespace orvalin::x11
