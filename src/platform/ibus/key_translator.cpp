#include "platform/ibus/key_translator.h"

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include "core/key_codes.h"
#include "core/shortcut.h"

namespace orvalin::ibus {

namespace {

// IBus's modifier bits (those of X core events, with Super of its own).
constexpr std::uint32_t kShiftMask = 1U << 0;
constexpr std::uint32_t kLockMask = 1U << 1;
constexpr std::uint32_t kControlMask = 1U << 2;
constexpr std::uint32_t kMod1Mask = 1U << 3;
constexpr std::uint32_t kMod4Mask = 1U << 6;
constexpr std::uint32_t kSuperMask = 1U << 26;
constexpr std::uint32_t kXKeycodeOffset = 8;

std::uint32_t modifierWord(std::uint32_t state) {
    std::uint32_t word = 0;
    if (state & kShiftMask) word |= modifier::kShift;
    if (state & kLockMask) word |= modifier::kCapsLock;
    if (state & kControlMask) word |= modifier::kControl;
    if (state & kMod1Mask) word |= modifier::kAlt;
    if (state & (kMod4Mask | kSuperMask)) word |= modifier::kSuper;
    return word;
}

bool isModifierKeysym(std::uint32_t sym) {
    return (sym >= XKB_KEY_Shift_L && sym <= XKB_KEY_Hyper_R) ||
           (sym >= XKB_KEY_ISO_Lock && sym <= XKB_KEY_ISO_Last_Group_Lock) || sym == XKB_KEY_Mode_switch ||
           sym == XKB_KEY_Num_Lock;
}

std::string utf8Of(xkb_keysym_t sym) {
    char buf[16];
    int n = xkb_keysym_to_utf8(sym, buf, sizeof buf);
    // The count includes the terminating NUL.
    return n > 1 ? std::string(buf, static_cast<std::size_t>(n - 1)) : std::string();
}

}  // namespace

KeyTranslator::KeyTranslator(const std::string& composeLocale) {
    context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (context_ == nullptr) return;
    table_ = xkb_compose_table_new_from_locale(context_, composeLocale.c_str(), XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (table_ != nullptr) compose_ = xkb_compose_state_new(table_, XKB_COMPOSE_STATE_NO_FLAGS);
}

KeyTranslator::~KeyTranslator() {
    xkb_compose_state_unref(compose_);
    xkb_compose_table_unref(table_);
    xkb_context_unref(context_);
}

void KeyTranslator::reset() {
    if (compose_ != nullptr) xkb_compose_state_reset(compose_);
}

TranslatedKey KeyTranslator::press(std::uint32_t keyval, std::uint32_t keycode, std::uint32_t state) {
    TranslatedKey key;
    key.virtualKey = keycodes::virtualKeyFromXKeycode(keycode + kXKeycodeOffset);
    key.modifiers = modifierWord(state);
    key.isModifierKey = isModifierKeysym(keyval);
    if (key.isModifierKey) return key;
    if (compose_ != nullptr && xkb_compose_state_feed(compose_, keyval) == XKB_COMPOSE_FEED_ACCEPTED) {
        switch (xkb_compose_state_get_status(compose_)) {
            case XKB_COMPOSE_COMPOSING:
                key.composing = true;
                return key;
            case XKB_COMPOSE_COMPOSED: {
                char buf[64];
                int n = xkb_compose_state_get_utf8(compose_, buf, sizeof buf);
                if (n > 0 && static_cast<std::size_t>(n) < sizeof buf)
                    key.characters.assign(buf, static_cast<std::size_t>(n));
                reset();
                key.composing = true;
                return key;
            }
            case XKB_COMPOSE_CANCELLED:
                reset();
                key.composing = true;
                return key;
            case XKB_COMPOSE_NOTHING:
                break;
        }
    }
    key.characters = utf8Of(keyval);
    return key;
}

}  // namespace orvalin::ibus
