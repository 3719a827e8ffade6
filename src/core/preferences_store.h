#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace orvalin {

// Keys of everything the program keeps between runs.
namespace prefkey {
inline constexpr const char* kShortcuts = "Orvalin.shortcuts.v2";
inline constexpr const char* kDefaultFormatId = "Orvalin.defaultFormatId";
inline constexpr const char* kOnboardingCompleted = "Orvalin.onboardingCompleted";
inline constexpr const char* kAppearance = "Orvalin.appearance";
}  // namespace prefkey

// A persistent key-value store of texts (byte strings included) and Booleans.
class PreferencesStore {
public:
    using Value = std::variant<bool, std::string>;
    using Changes = std::vector<std::pair<std::string, Value>>;

    virtual ~PreferencesStore() = default;

    virtual std::optional<std::string> string(std::string_view key) const = 0;
    virtual std::optional<bool> boolean(std::string_view key) const = 0;
    // Whether anything at all is stored under `key`, of whatever type.
    virtual bool contains(std::string_view key) const = 0;
    // Stores all changes together; false when nothing could be stored (the previous state is kept).
    virtual bool write(const Changes& changes) = 0;
    // The same for edits that follow each other quickly (every keystroke in a field): readers see
    // the changes at once and lasting storage gets them shortly after, without holding the caller
    // up. False only when the changes cannot be stored at all.
    virtual bool writeSoon(const Changes& changes) { return write(changes); }
    // Waits until lasting storage holds everything written so far; false when it could not.
    virtual bool flush() { return true; }
    // A caller found a stored value it could not use: keep a copy of what is stored now before
    // the next write replaces it.
    virtual void preserveBeforeNextWrite() = 0;

    // Told the key of every value a successful write stored, so that readers need not poll.
    using Listener = std::function<void(const std::string& key)>;
    using ListenerId = std::uint64_t;
    ListenerId addListener(Listener listener);
    void removeListener(ListenerId id);

protected:
    void notifyWritten(const Changes& changes);

private:
    std::vector<std::pair<ListenerId, Listener>> listeners_;
    ListenerId nextListenerId_ = 1;
};

}  // namespace orvalin
