#pragma once

#include <string>

#include "engine/platform.h"

namespace orvalin::wayland {

class InputMethod;
class VirtualKeyboard;
class WaylandConnection;

// Insertions on a wlroots compositor: the trigger is erased with Backspaces on the virtual
// keyboard, and the date committed into the focused text field; an application without
// text-input support (XWayland windows, older toolkits) gets the date typed instead.
class WaylandTextInserter final : public TextInserter {
public:
    WaylandTextInserter(InputMethod& inputMethod, VirtualKeyboard& keyboard)
        : inputMethod_(inputMethod), keyboard_(keyboard) {}
    bool insertText(std::size_t erase, std::string_view text) override;

private:
    InputMethod& inputMethod_;
    VirtualKeyboard& keyboard_;
};

// The engine's key synthesizer on the virtual keyboard (the clipboard route is not taken on
// this platform, but the keys are real).
class VirtualKeySynthesizer final : public KeySynthesizer {
public:
    explicit VirtualKeySynthesizer(VirtualKeyboard& keyboard) : keyboard_(keyboard) {}
    bool postBackspace() override;
    bool postCommandV() override;

private:
    VirtualKeyboard& keyboard_;
};

// Keys can be watched while the compositor connection holds and the seat's input method is ours.
class WaylandTrustQuery final : public TrustQuery {
public:
    WaylandTrustQuery(WaylandConnection& connection, InputMethod& inputMethod)
        : connection_(connection), inputMethod_(inputMethod) {}
    bool isTrusted() override;
    // Why keys cannot be watched, in the user's words; empty while they can.
    std::string missing() const;

private:
    WaylandConnection& connection_;
    InputMethod& inputMethod_;
};

}  // namespace orvalin::wayland
