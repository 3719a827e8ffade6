#include "platform/wayland/typing_keymap.h"

#include <xkbcommon/xkbcommon.h>

#include <unicode/utf8.h>

#include <map>

namespace orvalin::wayland {

namespace {

constexpr std::uint32_t kXOffset = 8;       // XKB key codes are evdev codes plus 8
constexpr std::uint32_t kHighestKey = 247;  // 255 once offset: the last one X11 clients see
// The name of the key codes section, which a compiled keymap keeps when it is written out again.
constexpr std::string_view kKeycodesHeader = "xkb_keycodes \"orvalin\" {";

std::optional<std::vector<xkb_keysym_t>> keysymsOf(std::string_view text) {
    std::vector<xkb_keysym_t> syms;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return std::nullopt;
        xkb_keysym_t sym = xkb_utf32_to_keysym(static_cast<std::uint32_t>(c));
        if (sym == XKB_KEY_NoSymbol) return std::nullopt;
        syms.push_back(sym);
    }
    return syms;
}

std::string keyLine(std::uint32_t evdev, xkb_keysym_t sym) {
    char name[64];
    xkb_keysym_get_name(sym, name, sizeof name);
    return "key <K" + std::to_string(evdev) + "> { [ " + name + " ] };\n";
}

}  // namespace

std::optional<TypingKeymap> TypingKeymap::forText(std::string_view text) {
    std::optional<std::vector<xkb_keysym_t>> syms = keysymsOf(text);
    if (!syms) return std::nullopt;
    TypingKeymap keymap;
    std::map<xkb_keysym_t, std::uint32_t> keyOf{{XKB_KEY_BackSpace, kBackspaceKey}, {XKB_KEY_v, kVKey}};
    std::uint32_t next = kVKey + 1;
    for (xkb_keysym_t sym : *syms) {
        auto [it, added] = keyOf.emplace(sym, next);
        if (added && ++next > kHighestKey + 1) return std::nullopt;
        keymap.textKeys_.push_back(it->second);
    }
    std::string codes, symbols;
    for (const auto& [sym, evdev] : keyOf) {
        codes += "<K" + std::to_string(evdev) + "> = " + std::to_string(evdev + kXOffset) + ";\n";
        symbols += keyLine(evdev, sym);
    }
    keymap.source_ = "xkb_keymap {\n" + std::string(kKeycodesHeader) + " minimum = 8; maximum = 255;\n" +
                     codes +
                     "};\nxkb_types \"orvalin\" { include \"complete\" };\n"
                     "xkb_compatibility \"orvalin\" { include \"complete\" };\n"
                     "xkb_symbols \"orvalin\" {\n" +
                     symbols + "};\n};\n";
    return keymap;
}

bool TypingKeymap::isOwn(std::string_view keymap) {
    return keymap.find(kKeycodesHeader) != std::string_view::npos;
}

}  // namespace orvalin::wayland
