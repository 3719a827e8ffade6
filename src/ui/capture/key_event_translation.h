#pragma once

#include <QKeyEvent>

#include <cstdint>
#include <optional>
#include <string>

namespace orvalin::capture {

// A Qt key press in the terms the rest of the program uses: the positional virtual key code, the
// modifier word and the characters the key gives without modifiers other than Shift.
struct KeyPress {
    std::optional<std::uint32_t> keyCode;  // none when the event does not say which key it was
    std::uint32_t modifiers = 0;
    std::string characters;  // UTF-8
};

// Shift, Control, Alt and Meta (Super) to the modifier word; keypad and group bits are dropped.
std::uint32_t modifierWordFromQt(Qt::KeyboardModifiers modifiers);

// The virtual key code of the key, through the same X key-code table as the key monitor, so that a
// combination recorded here matches the key monitor's view of the same key.
std::optional<std::uint32_t> virtualKeyFromEvent(const QKeyEvent& event);

// The key's characters as its layout gives them with Shift applied and Control / Alt / Super
// ignored: Qt's key() carries exactly that for keys that produce a character.
std::string charactersIgnoringModifiers(const QKeyEvent& event);

KeyPress translateKeyEvent(const QKeyEvent& event);

}  // namespace orvalin::capture
