#include "core/format_catalogue.h"

#include <algorithm>
#include <iostream>

#include "core/shortcut_json.h"

namespace orvalin {

FormatCatalogue::FormatCatalogue(PreferencesStore& store)
    : store_(store), shortcuts_(builtInShortcuts()), defaultFormatId_(Uuid::generate()) {}

std::vector<Shortcut> FormatCatalogue::builtInShortcuts() {
    return {
        Shortcut{Uuid::generate(), "Court", "dd/MM/yyyy ", "dtc ", std::nullopt},
        Shortcut{Uuid::generate(), "Long", "EEEE d MMMM yyyy ", "dtl ", std::nullopt},
        Shortcut{Uuid::generate(), "ISO", "yyyy-MM-dd ", "dt ", std::nullopt},
    };
}

void FormatCatalogue::loadShortcuts() {
    if (auto bytes = store_.string(prefkey::kShortcuts)) {
        std::string problem;
        if (auto decoded = decodeShortcuts(*bytes, &problem)) {
            shortcuts_ = std::move(*decoded);
        } else {
            std::cerr << "orvalin: stored formats unreadable (" << problem
                      << "); using the built-in formats, the stored ones are kept\n";
            store_.preserveBeforeNextWrite();
        }
    } else if (store_.contains(prefkey::kShortcuts)) {
        // Something other than the list's text (edited by hand, say) is still the user's.
        std::cerr << "orvalin: stored formats unreadable (not a text); using the built-in formats, "
                     "the stored ones are kept\n";
        store_.preserveBeforeNextWrite();
    }
    if (auto text = store_.string(prefkey::kDefaultFormatId)) {
        if (auto id = Uuid::parse(*text)) {
            bool known = std::any_of(shortcuts_.begin(), shortcuts_.end(),
                                     [&](const Shortcut& s) { return s.id == *id; });
            if (known) {
                defaultFormatId_ = *id;
                return;
            }
        }
    }
    if (!shortcuts_.empty()) defaultFormatId_ = shortcuts_.front().id;
}

bool FormatCatalogue::saveShortcuts() {
    auto encoded = encodeShortcuts(shortcuts_);
    if (!encoded) return false;
    return store_.writeSoon({{prefkey::kShortcuts, std::move(*encoded)},
                             {prefkey::kDefaultFormatId, defaultFormatId_.toString()}});
}

const Shortcut& FormatCatalogue::addShortcut(const std::string& label) {
    auto used = [this](const std::string& trigger) {
        return std::any_of(shortcuts_.begin(), shortcuts_.end(),
                           [&](const Shortcut& s) { return s.trigger == trigger; });
    };
    std::string trigger = "new ";
    for (unsigned k = 2; used(trigger); ++k) trigger = "new" + std::to_string(k) + " ";
    shortcuts_.push_back(Shortcut{Uuid::generate(), label, "dd/MM/yyyy", trigger, std::nullopt});
    saveShortcuts();
    return shortcuts_.back();
}

void FormatCatalogue::deleteShortcut(const Uuid& id) {
    std::erase_if(shortcuts_, [&](const Shortcut& s) { return s.id == id; });
    if (defaultFormatId_ == id && !shortcuts_.empty()) defaultFormatId_ = shortcuts_.front().id;
    saveShortcuts();
}

bool FormatCatalogue::isTriggerTaken(const std::string& trigger, const Uuid& excludedId) const {
    if (trigger.empty()) return false;
    return std::any_of(shortcuts_.begin(), shortcuts_.end(),
                       [&](const Shortcut& s) { return s.id != excludedId && s.trigger == trigger; });
}

bool FormatCatalogue::isGlobalShortcutTaken(const GlobalShortcut& combination, const Uuid& excludedId) const {
    return std::any_of(shortcuts_.begin(), shortcuts_.end(), [&](const Shortcut& s) {
        return s.id != excludedId && s.globalShortcut && *s.globalShortcut == combination;
    });
}

std::optional<Shortcut> FormatCatalogue::defaultShortcut() const {
    if (shortcuts_.empty()) return std::nullopt;
    auto it = std::find_if(shortcuts_.begin(), shortcuts_.end(),
                           [&](const Shortcut& s) { return s.id == defaultFormatId_; });
    return it != shortcuts_.end() ? *it : shortcuts_.front();
}

}  // namespace orvalin
