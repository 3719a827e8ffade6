#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvalin::wayland {

// A keymap of the program's own for typing a text through a virtual keyboard: one key per
// distinct character, Backspace and V besides, whatever the user's layout holds.
class TypingKeymap {
public:
    // Nothing when the text is not UTF-8 or holds more distinct characters than an X11
    // application behind XWayland could receive (key codes above 255).
    static std::optional<TypingKeymap> forText(std::string_view text);
    // Whether a keymap text is one of these, also as a compositor writes it back.
    static bool isOwn(std::string_view keymap);

    // The keymap in the XKB text format, as a virtual keyboard uploads it.
    const std::string& source() const { return source_; }
    // The keys (evdev codes) that type `text`, in order.
    const std::vector<std::uint32_t>& textKeys() const { return textKeys_; }
    std::uint32_t backspaceKey() const { return kBackspaceKey; }
    std::uint32_t vKey() const { return kVKey; }
    // The Control modifier's mask in this keymap.
    static constexpr std::uint32_t kControlMask = 1u << 2;

private:
    static constexpr std::uint32_t kBackspaceKey = 1;  // evdev codes; the keymap's are 8 above
    static constexpr std::uint32_t kVKey = 2;
    std::string source_;
    std::vector<std::uint32_t> textKeys_;
};

}  // namespace orvalin::wayland
