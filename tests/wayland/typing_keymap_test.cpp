// The keymap the virtual keyboard types dates with: every character on a key of its own.

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>

#include "platform/wayland/typing_keymap.h"

namespace orvalin::wayland {
namespace {

// What the keys type under the keymap, as an application reading it would see.
std::string typedBy(const TypingKeymap& keymap, const std::vector<std::uint32_t>& keys) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* compiled = xkb_keymap_new_from_string(context, keymap.source().c_str(),
                                                      XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    std::string text = compiled == nullptr ? "<keymap does not compile>" : "";
    if (compiled != nullptr) {
        xkb_state* state = xkb_state_new(compiled);
        for (std::uint32_t key : keys) {
            char buf[16];
            if (xkb_state_key_get_one_sym(state, key + 8) == XKB_KEY_BackSpace) {
                text += "<BS>";
            } else if (xkb_state_key_get_utf8(state, key + 8, buf, sizeof buf) > 0) {
                text += buf;
            }
        }
        xkb_state_unref(state);
        xkb_keymap_unref(compiled);
    }
    xkb_context_unref(context);
    return text;
}

TEST(TypingKeymap, TypesEveryCharacterOfADateAndBackspace) {
    for (std::string date : {"2026-03-20", "vendredi 20 mars 2026", "jeudi 1ᵉʳ août — 12:05 €", "V v"}) {
        std::optional<TypingKeymap> keymap = TypingKeymap::forText(date);
        ASSERT_TRUE(keymap) << date;
        EXPECT_EQ(typedBy(*keymap, keymap->textKeys()), date);
        EXPECT_EQ(typedBy(*keymap, {keymap->backspaceKey(), keymap->vKey()}), "<BS>v");
    }
}

TEST(TypingKeymap, RefusesWhatCannotBeTyped) {
    EXPECT_FALSE(TypingKeymap::forText("\xff\xfe"));  // not UTF-8
    std::string many;
    for (char32_t c = 0x4E00; c < 0x4E00 + 300; ++c) {  // more distinct characters than X11 key codes
        many += static_cast<char>(0xE0 | (c >> 12));
        many += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        many += static_cast<char>(0x80 | (c & 0x3F));
    }
    EXPECT_FALSE(TypingKeymap::forText(many));
    EXPECT_TRUE(TypingKeymap::forText(many.substr(0, 3 * 200)));
}

// A compiled keymap written out again, as a compositor hands keymaps out; empty without one.
std::string writtenOut(xkb_keymap* keymap) {
    char* text = keymap != nullptr ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    std::string result = text != nullptr ? text : "";
    std::free(text);
    return result;
}

// When the seat's keyboard is the virtual keyboard, the compositor reports its keymaps back to the
// grab: the typing keymap is known again, a user's keymap is not taken for it.
TEST(TypingKeymap, KnowsItsOwnKeymapAsTheCompositorWritesItBack) {
    std::optional<TypingKeymap> own = TypingKeymap::forText("2026-03-20");
    ASSERT_TRUE(own);
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* compiled = xkb_keymap_new_from_string(context, own->source().c_str(),
                                                      XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_rule_names names{"evdev", "pc105", "fr", "", nullptr};
    xkb_keymap* user = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    EXPECT_TRUE(TypingKeymap::isOwn(own->source()));
    EXPECT_TRUE(TypingKeymap::isOwn(writtenOut(compiled)));
    const std::string french = writtenOut(user);
    EXPECT_NE(french, "");
    EXPECT_FALSE(TypingKeymap::isOwn(french));
    xkb_keymap_unref(user);
    xkb_keymap_unref(compiled);
    xkb_context_unref(context);
}

}  // namespace
}  // namespace orvalin::wayland
