#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/platform.h"

class QTimer;

namespace orvalin {
class PasteTracker;
}

namespace orvalin::x11 {

class X11Connection;
enum class PasteChord;

// Posts Backspace and the focused window's paste chord through XTest. Keys go out in the order
// asked for; while the user still holds modifiers (say Control and Alt of a combination that just
// fired) they wait for the release, at most about a second, so that the target sees exactly the
// chord. Every key pressed is released again.
class XTestKeySynthesizer final : public KeySynthesizer {
public:
    // Key code for a keysym in the current keymap, nothing when no key types it.
    using KeycodeLookup = std::function<std::optional<std::uint32_t>(std::uint32_t keysym)>;
    // Whether an X key code is a modifier key in the current keymap.
    using ModifierTest = std::function<bool(std::uint32_t keycode)>;

    XTestKeySynthesizer(X11Connection& conn, PasteTracker& tracker, KeycodeLookup lookup,
                        ModifierTest isModifier,
                        std::chrono::milliseconds modifierWait = std::chrono::milliseconds(1000));
    ~XTestKeySynthesizer() override;

    void postBackspace() override;
    void postCommandV() override;

    bool available();

private:
    struct Action {
        bool paste = false;
    };
    void pump();
    std::vector<std::uint8_t> heldModifierKeys();
    void send(const Action& action);
    void tap(std::uint32_t keycode, const std::vector<std::uint32_t>& modifiers);
    std::uint32_t keycodeFor(std::uint32_t keysym, std::uint16_t virtualKey);

    X11Connection& conn_;
    PasteTracker& tracker_;
    KeycodeLookup lookup_;
    ModifierTest isModifier_;
    std::chrono::milliseconds modifierWait_;
    std::deque<Action> queue_;
    std::optional<std::chrono::steady_clock::time_point> waitingSince_;
    std::unique_ptr<QTimer> retry_;
};

}  // namespace orvalin::x11
