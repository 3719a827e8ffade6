#include "ui/capture/key_event_translation.h"

#include "core/shortcut.h"
#include "core/key_codes.h"

namespace orvalin::capture {

namespace {

// Key codes a key event without a native code can still be given: the keys that steer a recording.
std::optional<std::uint32_t> virtualKeyFromQtKey(int key) {
    switch (key) {
        case Qt::Key_Escape:
            return 53;
        case Qt::Key_Backspace:
            return 51;
        case Qt::Key_Delete:
            return 117;
        default:
            return std::nullopt;
    }
}

constexpr int kFirstSpecialKey = 0x01000000;  // Qt's non-character keys start here

}  // namespace

std::uint32_t modifierWordFromQt(Qt::KeyboardModifiers modifiers) {
    std::uint32_t word = 0;
    if (modifiers & Qt::ShiftModifier) word |= modifier::kShift;
    if (modifiers & Qt::ControlModifier) word |= modifier::kControl;
    if (modifiers & Qt::AltModifier) word |= modifier::kAlt;
    if (modifiers & Qt::MetaModifier) word |= modifier::kSuper;
    return word;
}

std::optional<std::uint32_t> virtualKeyFromEvent(const QKeyEvent& event) {
    // On X11 and Wayland the native scan code is the X key code (evdev code + 8).
    const quint32 scanCode = event.nativeScanCode();
    if (scanCode >= 8) return keycodes::virtualKeyFromXKeycode(scanCode);
    return virtualKeyFromQtKey(event.key());
}

std::string charactersIgnoringModifiers(const QKeyEvent& event) {
    const int key = event.key();
    if (key > 0 && key < kFirstSpecialKey) {
        const char32_t c = static_cast<char32_t>(key);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
        return QString::fromUcs4(&c, 1).toStdString();
    }
    // A keysym Qt has no key for still carries its text; under Control that may be a control
    // code, which the display text leaves out.
    if (key == Qt::Key_unknown) return event.text().left(8).toStdString();
    return {};
}

KeyPress translateKeyEvent(const QKeyEvent& event) {
    return KeyPress{virtualKeyFromEvent(event), modifierWordFromQt(event.modifiers()),
                    charactersIgnoringModifiers(event)};
}

}  // namespace orvalin::capture
