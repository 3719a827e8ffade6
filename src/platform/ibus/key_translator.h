#pragma once

#include <cstdint>
#include <string>

struct xkb_context;
struct xkb_compose_table;
struct xkb_compose_state;

namespace orvalin::ibus {

// One key press as IBus reports it, in the program's terms.
struct TranslatedKey {
    std::uint16_t virtualKey = 0;
    std::uint32_t modifiers = 0;
    std::string characters;      // empty for dead keys and keys that type nothing
    bool composing = false;      // part of a dead-key or Compose sequence
    bool isModifierKey = false;  // Shift, Control, AltGr and the like
};

// IBus hands over the keysym the user's layout gives (the keyval) and the physical key (evdev
// code): the key code comes from the one, the text from the other, and dead keys and Compose are
// followed as the keyboard's own handling follows them.
class KeyTranslator {
public:
    explicit KeyTranslator(const std::string& composeLocale);
    ~KeyTranslator();
    KeyTranslator(const KeyTranslator&) = delete;
    KeyTranslator& operator=(const KeyTranslator&) = delete;

    TranslatedKey press(std::uint32_t keyval, std::uint32_t keycode, std::uint32_t state);
    // A sequence under way is forgotten (the field was reset or changed).
    void reset();

private:
    xkb_context* context_ = nullptr;
    xkb_compose_table* table_ = nullptr;
    xkb_compose_state* compose_ = nullptr;
};

}  // namespace orvalin::ibus
