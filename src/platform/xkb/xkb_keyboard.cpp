#include "platform/xkb/xkb_keyboard.h"
#include "core/shortcut.h"

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <map>
#include <mutex>

#include "core/key_codes.h"

namespace orvalin::xkb {

namespace {

constexpr std::uint32_t kXOffset = 8;

bool isModifierKeysym(xkb_keysym_t sym) {
    // Shift_L .. Hyper_R, the ISO level and group shifts and locks, Mode_switch.
    return (sym >= XKB_KEY_Shift_L && sym <= XKB_KEY_Hyper_R) ||
           (sym >= XKB_KEY_ISO_Lock && sym <= XKB_KEY_ISO_Level5_Lock) || sym == XKB_KEY_Mode_switch;
}

std::uint32_t maskOfName(xkb_keymap* keymap, const char* name) {
    xkb_mod_index_t idx = xkb_keymap_mod_get_index(keymap, name);
    if (idx == XKB_MOD_INVALID || idx >= 32) return 0;
    return 1u << idx;
}

// Reading a locale's Compose file takes long, and a keyboard is made at every keymap change: each
// locale's table is read once and shared. A new reference, nothing when the locale has none.
xkb_compose_table* sharedComposeTable(xkb_context* context, const std::string& locale) {
    static std::mutex mutex;
    static auto* tables = new std::map<std::string, xkb_compose_table*>();  // kept to the end
    std::lock_guard lock(mutex);
    auto [it, added] = tables->emplace(locale, nullptr);
    if (added) {
        it->second = xkb_compose_table_new_from_locale(context, locale.c_str(), XKB_COMPOSE_COMPILE_NO_FLAGS);
    }
    return it->second != nullptr ? xkb_compose_table_ref(it->second) : nullptr;
}

}  // namespace

XkbKeyboard::XkbKeyboard(xkb_context* context, xkb_keymap* keymap, xkb_state* state,
                         const std::string& composeLocale)
    : context_(xkb_context_ref(context)), keymap_(keymap), state_(state) {
    // Compose tables exist for UTF-8 locales; the program reads and writes UTF-8 whatever the
    // locale, so a plain "C" falls back to the generic UTF-8 table.
    composeTable_ = sharedComposeTable(context_, composeLocale);
    if (composeTable_ == nullptr) composeTable_ = sharedComposeTable(context_, "C.UTF-8");
    if (composeTable_ != nullptr) compose_ = xkb_compose_state_new(composeTable_, XKB_COMPOSE_STATE_NO_FLAGS);
    group_ = lockedGroup();  // a server's state may come with another group locked
    computeModifierMasks();
    examineNumbering();
}

XkbKeyboard::~XkbKeyboard() {
    xkb_compose_state_unref(compose_);
    xkb_compose_table_unref(composeTable_);
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

std::unique_ptr<XkbKeyboard> XkbKeyboard::fromNames(const char* layout, const char* variant,
                                                    const char* composeLocale) {
    xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (ctx == nullptr) return nullptr;
    xkb_rule_names names{"evdev", "pc105", layout, variant, nullptr};
    xkb_keymap* keymap = xkb_keymap_new_from_names(ctx, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) {
        xkb_context_unref(ctx);
        return nullptr;
    }
    auto kb = std::make_unique<XkbKeyboard>(ctx, keymap, xkb_state_new(keymap), composeLocale);
    xkb_context_unref(ctx);
    return kb;
}

std::unique_ptr<XkbKeyboard> XkbKeyboard::fromText(const std::string& text,
                                                   const std::string& composeLocale) {
    xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (ctx == nullptr) return nullptr;
    xkb_keymap* keymap =
        xkb_keymap_new_from_string(ctx, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    std::unique_ptr<XkbKeyboard> kb;
    if (keymap != nullptr)
        kb = std::make_unique<XkbKeyboard>(ctx, keymap, xkb_state_new(keymap), composeLocale);
    xkb_context_unref(ctx);
    return kb;
}

void XkbKeyboard::replaceKeymap(xkb_keymap* keymap, xkb_state* state) {
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    state_ = state;
    appliedMods_.reset();
    group_ = lockedGroup();
    computeModifierMasks();
    examineNumbering();
    resetCompose();
    forgetTranslations();
}

void XkbKeyboard::forgetTranslations() {
    for (Remembered& slot : remembered_) slot.xKeycode = 0;
}

// Keyboards made by programs (on-screen keyboards, typing tools) number their keys as they like:
// their keys are then known by what they type, as on a US keyboard.
void XkbKeyboard::examineNumbering() {
    const char* name = xkb_keymap_key_get_name(keymap_, 30 + kXOffset);
    positional_ = name != nullptr && std::strcmp(name, "AC01") == 0;
}

// Compiled once for the program's life, and only read: a keymap change costs no compilation.
const XkbKeyboard* XkbKeyboard::usReference() {
    static const std::unique_ptr<XkbKeyboard> us = fromNames("us");
    return us.get();
}

std::uint16_t XkbKeyboard::virtualKeyOf(std::uint32_t xKeycode) const {
    const XkbKeyboard* reference = positional_ ? nullptr : usReference();
    if (reference == nullptr) return keycodes::virtualKeyFromXKeycode(xKeycode);
    const xkb_keysym_t* syms = nullptr;
    std::optional<std::uint32_t> same;
    if (xkb_keymap_key_get_syms_by_level(keymap_, xKeycode, 0, 0, &syms) >= 1) {
        same = reference->keycodeForKeysym(xkb_keysym_to_lower(syms[0]));
    }
    return keycodes::virtualKeyFromXKeycode(same.value_or(xKeycode));
}

void XkbKeyboard::computeModifierMasks() {
    shiftMask_ = maskOfName(keymap_, XKB_MOD_NAME_SHIFT);
    controlMask_ = maskOfName(keymap_, XKB_MOD_NAME_CTRL);
    lockMask_ = maskOfName(keymap_, XKB_MOD_NAME_CAPS);
    altMask_ = 0;
    superMask_ = 0;
    // Which real modifier Alt and Super sit on is the keymap's business: press each Alt or Super
    // key on a scratch state and see what it sets.
    xkb_state* scratch = xkb_state_new(keymap_);
    if (scratch != nullptr) {
        for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc <= xkb_keymap_max_keycode(keymap_);
             ++kc) {
            const xkb_keysym_t* syms = nullptr;
            int n = xkb_keymap_key_get_syms_by_level(keymap_, kc, 0, 0, &syms);
            if (n != 1) continue;
            std::uint32_t* target = nullptr;
            if (syms[0] == XKB_KEY_Alt_L || syms[0] == XKB_KEY_Alt_R || syms[0] == XKB_KEY_Meta_L ||
                syms[0] == XKB_KEY_Meta_R) {
                target = &altMask_;
            } else if (syms[0] == XKB_KEY_Super_L || syms[0] == XKB_KEY_Super_R) {
                target = &superMask_;
            }
            if (target == nullptr) continue;
            xkb_state_update_key(scratch, kc, XKB_KEY_DOWN);
            *target |= xkb_state_serialize_mods(scratch, XKB_STATE_MODS_DEPRESSED);
            xkb_state_update_key(scratch, kc, XKB_KEY_UP);
        }
        xkb_state_unref(scratch);
    }
    if (altMask_ == 0) altMask_ = maskOfName(keymap_, XKB_MOD_NAME_ALT);
    if (superMask_ == 0) superMask_ = maskOfName(keymap_, XKB_MOD_NAME_LOGO);
    // Shift, Control and Caps Lock keep their own meaning even if a keymap also puts Alt there.
    altMask_ &= ~(shiftMask_ | controlMask_ | lockMask_);
    superMask_ &= ~(shiftMask_ | controlMask_ | lockMask_ | altMask_);
}

void XkbKeyboard::resetCompose() {
    if (compose_ != nullptr) xkb_compose_state_reset(compose_);
    composing_ = false;
}

void XkbKeyboard::setLockedGroup(std::uint32_t group) {
    xkb_mod_mask_t depressed = xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED);
    xkb_mod_mask_t latched = xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED);
    xkb_mod_mask_t locked = xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED);
    xkb_layout_index_t base = xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_DEPRESSED);
    xkb_layout_index_t latchedGroup = xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_LATCHED);
    xkb_state_update_mask(state_, depressed, latched, locked, base, latchedGroup, group);
    appliedMods_.reset();
    group_ = lockedGroup();  // as xkbcommon wrapped it into the keymap's groups
}

std::uint32_t XkbKeyboard::lockedGroup() const {
    return xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_LOCKED);
}

std::uint32_t XkbKeyboard::modifierWordFromMask(std::uint32_t mods) const {
    std::uint32_t word = 0;
    if ((mods & lockMask_) != 0) word |= modifier::kCapsLock;
    if ((mods & shiftMask_) != 0) word |= modifier::kShift;
    if ((mods & controlMask_) != 0) word |= modifier::kControl;
    if ((mods & altMask_) != 0) word |= modifier::kAlt;
    if ((mods & superMask_) != 0) word |= modifier::kSuper;
    return word;
}

bool XkbKeyboard::isModifierKey(std::uint32_t xKeycode) const {
    const xkb_keysym_t* syms = nullptr;
    xkb_layout_index_t layout = xkb_state_key_get_layout(state_, xKeycode);
    if (layout == XKB_LAYOUT_INVALID) layout = 0;
    int n = xkb_keymap_key_get_syms_by_level(keymap_, xKeycode, layout, 0, &syms);
    for (int i = 0; i < n; ++i) {
        if (isModifierKeysym(syms[i])) return true;
    }
    return false;
}

TranslatedKey XkbKeyboard::pressWithModifiers(std::uint32_t xKeycode, std::uint32_t realMods) {
    const std::uint32_t mods = realMods & 0xFF;
    Remembered& slot = remembered_[(xKeycode + 37 * mods + 101 * group_) % remembered_.size()];
    // Keycode, mask and group make the whole state: a kept translation is exact outside Compose.
    if (!composing_ && slot.xKeycode == xKeycode && slot.mods == mods && slot.group == group_)
        return slot.key;
    // Typing mostly repeats the last mask: the state is then already right.
    if (appliedMods_ != mods) {
        xkb_state_update_mask(state_, mods, 0, 0, 0, 0, group_);
        appliedMods_ = mods;
    }
    bool composeFree = false;
    TranslatedKey key = translate(xKeycode, composeFree);
    if (composeFree && xKeycode != 0) slot = {xKeycode, mods, group_, key};
    return key;
}

// `composeFree`: Compose neither took the key nor would from its idle state.
TranslatedKey XkbKeyboard::translate(std::uint32_t xKeycode, bool& composeFree) {
    composeFree = !composing_;
    TranslatedKey key;
    key.virtualKey = virtualKeyOf(xKeycode);
    key.modifiers = modifierWordFromMask(xkb_state_serialize_mods(state_, XKB_STATE_MODS_EFFECTIVE));
    key.isModifierKey = isModifierKey(xKeycode);
    if (!key.isModifierKey) {
        const xkb_keysym_t sym = xkb_state_key_get_one_sym(state_, xKeycode);
        const bool plain = !compose(sym, key.characters);
        composeFree = composeFree && plain &&
                      (compose_ == nullptr || sym == XKB_KEY_NoSymbol ||
                       (sym < startsNothing_.size() && startsNothing_[sym]));
        if (plain) {
            char buf[64];
            int n = xkb_state_key_get_utf8(state_, xKeycode, buf, sizeof buf);
            if (n > 0 && static_cast<std::size_t>(n) < sizeof buf) key.characters.assign(buf, n);
        }
    }
    return key;
}

// True when Compose takes the key: part of a sequence, or its end (the result in `characters`).
bool XkbKeyboard::compose(xkb_keysym_t sym, std::string& characters) {
    if (compose_ == nullptr || sym == XKB_KEY_NoSymbol) return false;
    // Out of a sequence, a key known to start none leaves the state as it is: not looked up again.
    const bool idle = !composing_;
    const bool tracked = sym < startsNothing_.size();
    if (idle && tracked && startsNothing_[sym]) return false;
    if (xkb_compose_state_feed(compose_, sym) != XKB_COMPOSE_FEED_ACCEPTED) return false;
    switch (xkb_compose_state_get_status(compose_)) {
        case XKB_COMPOSE_COMPOSING:
            composing_ = true;
            return true;
        case XKB_COMPOSE_COMPOSED: {
            char buf[64];
            int n = xkb_compose_state_get_utf8(compose_, buf, sizeof buf);
            if (n > 0 && static_cast<std::size_t>(n) < sizeof buf) characters.assign(buf, n);
            resetCompose();
            return true;
        }
        case XKB_COMPOSE_CANCELLED:
            resetCompose();
            return true;
        case XKB_COMPOSE_NOTHING:
            composing_ = false;
            if (idle && tracked) startsNothing_[sym] = true;
            return false;
    }
    return false;
}

std::optional<std::uint32_t> XkbKeyboard::keycodeForKeysym(std::uint32_t keysym) const {
    xkb_layout_index_t current = xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE);
    xkb_layout_index_t layouts = xkb_keymap_num_layouts(keymap_);
    std::optional<std::uint32_t> elsewhere;
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc <= xkb_keymap_max_keycode(keymap_); ++kc) {
        for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
            const xkb_keysym_t* syms = nullptr;
            int n = xkb_keymap_key_get_syms_by_level(keymap_, kc, layout, 0, &syms);
            if (n == 1 && syms[0] == keysym) {
                if (layout == current) return kc;
                if (!elsewhere) elsewhere = kc;
            }
        }
    }
    return elsewhere;
}

}  // namespace orvalin::xkb
