#include "platform/wayland/virtual_keyboard.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <optional>

#include "platform/wayland/typing_keymap.h"
#include "platform/wayland/wayland_connection.h"
#include "virtual-keyboard-unstable-v1-client.h"

namespace orvalin::wayland {

namespace {

constexpr std::uint32_t kReleased = WL_KEYBOARD_KEY_STATE_RELEASED;
constexpr std::uint32_t kPressed = WL_KEYBOARD_KEY_STATE_PRESSED;

// A sealed-size memory file holding `text` and its terminating NUL, as keymaps are passed.
int keymapFile(const std::string& text) {
    int fd = ::memfd_create("orvalin-keymap", MFD_CLOEXEC);
    if (fd < 0) return -1;
    const char* data = text.c_str();
    std::size_t left = text.size() + 1;
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return fd;
}

}  // namespace

VirtualKeyboard::VirtualKeyboard(WaylandConnection& connection) : connection_(connection) {
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(connection.virtualKeyboards(),
                                                                        connection.seat());
}

VirtualKeyboard::~VirtualKeyboard() {
    if (keyboard_ != nullptr) zwp_virtual_keyboard_v1_destroy(keyboard_);
    connection_.flush();
}

std::uint32_t VirtualKeyboard::now() const {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool VirtualKeyboard::upload(const std::string& keymap) {
    int fd = keymapFile(keymap);
    if (fd < 0) return false;
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   static_cast<std::uint32_t>(keymap.size() + 1));
    ::close(fd);  // the request carries its own copy of the descriptor
    return true;
}

// Taken up with the next key or modifiers passed on, not at once: the compositor may report an
// upload back as the seat's new keymap, and an answer to that report would start the round again.
void VirtualKeyboard::forwardKeymap(std::string keymap) {
    if (keymap == userKeymap_) return;
    userKeymap_ = std::move(keymap);
    holdsUserKeymap_ = false;
}

void VirtualKeyboard::holdUserKeymap() {
    if (!holdsUserKeymap_ && !userKeymap_.empty()) holdsUserKeymap_ = upload(userKeymap_);
}

void VirtualKeyboard::forwardKey(std::uint32_t time, std::uint32_t key, std::uint32_t state) {
    holdUserKeymap();
    zwp_virtual_keyboard_v1_key(keyboard_, time, key, state);
}

void VirtualKeyboard::forwardModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                                       std::uint32_t group) {
    holdUserKeymap();
    depressed_ = depressed, latched_ = latched, locked_ = locked, group_ = group;
    zwp_virtual_keyboard_v1_modifiers(keyboard_, depressed, latched, locked, group);
}

void VirtualKeyboard::tap(std::uint32_t key) {
    const std::uint32_t time = now();
    zwp_virtual_keyboard_v1_key(keyboard_, time, key, kPressed);
    zwp_virtual_keyboard_v1_key(keyboard_, time, key, kReleased);
}

// Modifiers the user still holds (a key combination's) must not turn the typed text into
// shortcuts: the program's keys go out with none.
void VirtualKeyboard::useOwnKeymap(const TypingKeymap& keymap) {
    upload(keymap.source());
    holdsUserKeymap_ = false;
    zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
}

void VirtualKeyboard::restoreUserKeyboard() {
    if (!userKeymap_.empty()) {
        holdUserKeymap();
        zwp_virtual_keyboard_v1_modifiers(keyboard_, depressed_, latched_, locked_, group_);
    }
    connection_.flush();
}

bool VirtualKeyboard::type(std::size_t erase, std::string_view text) {
    std::optional<TypingKeymap> keymap = TypingKeymap::forText(text);
    if (!keymap) return false;
    useOwnKeymap(*keymap);
    for (std::size_t i = 0; i < erase; ++i) tap(keymap->backspaceKey());
    for (std::uint32_t key : keymap->textKeys()) tap(key);
    restoreUserKeyboard();
    return true;
}

}  // namespace orvalin::wayland
