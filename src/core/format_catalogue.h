#pragma once

#include <optional>
#include <vector>

#include "core/preferences_store.h"
#include "core/shortcut.h"

namespace orvalin {

// The user's ordered list of formats and the id of the default one, kept in a preferences store.
class FormatCatalogue {
public:
    // Starts on the built-in list with a fresh default id matching no entry; nothing is read yet.
    explicit FormatCatalogue(PreferencesStore& store);

    static std::vector<Shortcut> builtInShortcuts();

    // Reads the stored list and default id; writes nothing. An unusable stored list leaves the
    // built-in list in place and asks the store to keep a copy of it before it is overwritten.
    void loadShortcuts();
    // Writes the list and the default id together, to lasting storage shortly after (edits come
    // at every keystroke); false when nothing was written.
    bool saveShortcuts();

    // Appends a format named `label` with the first free trigger of "new ", "new2 ", "new3 "…,
    // then saves.
    const Shortcut& addShortcut(const std::string& label = "Nouveau");
    // Removes every entry with that id, moves the default to the first remaining entry if it
    // was the default, then saves.
    void deleteShortcut(const Uuid& id);

    bool isTriggerTaken(const std::string& trigger, const Uuid& excludedId) const;
    bool isGlobalShortcutTaken(const GlobalShortcut& combination, const Uuid& excludedId) const;
    // The entry with the default id, else the first entry; none when the list is empty.
    std::optional<Shortcut> defaultShortcut() const;

    const std::vector<Shortcut>& shortcuts() const { return shortcuts_; }
    std::vector<Shortcut>& mutableShortcuts() { return shortcuts_; }
    void setShortcuts(std::vector<Shortcut> shortcuts) { shortcuts_ = std::move(shortcuts); }

    const Uuid& defaultFormatId() const { return defaultFormatId_; }
    void setDefaultFormatId(const Uuid& id) { defaultFormatId_ = id; }

private:
    PreferencesStore& store_;
    std::vector<Shortcut> shortcuts_;
    Uuid defaultFormatId_;
};

}  // namespace orvalin
