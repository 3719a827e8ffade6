#pragma once

#include "engine/platform.h"

namespace orvalin::wayland {

class InputMethod;
class VirtualKeyboard;

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

}  // namespace orvalin::wayland
