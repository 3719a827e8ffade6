#include "platform/wayland/keyboard_grab.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstring>

#include "input-method-unstable-v2-client.h"
#include "platform/wayland/input_method.h"
#include "platform/wayland/typing_keymap.h"
#include "platform/wayland/virtual_keyboard.h"
#include "platform/xkb/xkb_keyboard.h"

namespace orvalin::wayland {

namespace {

constexpr std::uint32_t kXOffset = 8;  // X key codes are evdev codes plus 8

}  // namespace

KeyboardGrab::KeyboardGrab(InputMethod& inputMethod, VirtualKeyboard& keyboard, std::string composeLocale,
                           Listener& listener)
    : inputMethod_(inputMethod),
      keyboard_(keyboard),
      composeLocale_(std::move(composeLocale)),
      listener_(listener) {}

KeyboardGrab::~KeyboardGrab() {
    stop();
}

bool KeyboardGrab::start() {
    if (grab_ != nullptr) return false;
    static const zwp_input_method_keyboard_grab_v2_listener listener = {
        &KeyboardGrab::onKeymap, &KeyboardGrab::onKey, &KeyboardGrab::onModifiers,
        [](void*, zwp_input_method_keyboard_grab_v2*, std::int32_t, std::int32_t) {
        },  // repeat: clients repeat
    };
    grab_ = inputMethod_.grabKeyboard();
    if (grab_ == nullptr) return false;
    zwp_input_method_keyboard_grab_v2_add_listener(grab_, &listener, this);
    return true;
}

void KeyboardGrab::stop() {
    if (grab_ == nullptr) return;
    zwp_input_method_keyboard_grab_v2_release(grab_);
    grab_ = nullptr;
}

void KeyboardGrab::onKeymap(void* data, zwp_input_method_keyboard_grab_v2*, std::uint32_t format, int fd,
                            std::uint32_t size) {
    auto* self = static_cast<KeyboardGrab*>(data);
    void* map = format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1
                    ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0)
                    : MAP_FAILED;
    ::close(fd);
    if (map == MAP_FAILED) return;
    // A NUL-terminated file of `size` bytes; read in place, since one comes with every upload.
    const std::string_view text(static_cast<const char*>(map),
                                ::strnlen(static_cast<const char*>(map), size));
    if (!text.empty()) self->useKeymap(text);
    ::munmap(map, size);
}

// While the virtual keyboard is the seat's keyboard (after the start, until another keyboard
// types), the grab reports back every keymap it takes: the user's keymap again, or the one the
// program typed with. Neither changes anything.
void KeyboardGrab::useKeymap(std::string_view text) {
    if (text == keymapText_ || TypingKeymap::isOwn(text)) return;
    keymapText_ = text;
    std::unique_ptr<xkb::XkbKeyboard> decoder = xkb::XkbKeyboard::fromText(keymapText_, composeLocale_);
    // Passed on even when it does not compile here: the application may read it.
    keyboard_.forwardKeymap(keymapText_);
    if (decoder) decoder_ = std::move(decoder);
}

void KeyboardGrab::onModifiers(void* data, zwp_input_method_keyboard_grab_v2*, std::uint32_t,
                               std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                               std::uint32_t group) {
    auto* self = static_cast<KeyboardGrab*>(data);
    self->mods_ = depressed | latched | locked;
    if (self->decoder_) self->decoder_->setLockedGroup(group);
    self->listener_.modifiersChanged(depressed, latched, locked, group);
}

void KeyboardGrab::onKey(void* data, zwp_input_method_keyboard_grab_v2*, std::uint32_t, std::uint32_t time,
                         std::uint32_t key, std::uint32_t state) {
    auto* self = static_cast<KeyboardGrab*>(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return self->listener_.released(time, key);
    if (!self->decoder_) return self->listener_.pressed(time, key, nullptr);
    const xkb::TranslatedKey translated = self->decoder_->pressWithModifiers(key + kXOffset, self->mods_);
    self->listener_.pressed(time, key, &translated);
}

}  // namespace orvalin::wayland
