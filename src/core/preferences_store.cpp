#include "core/preferences_store.h"

#include <algorithm>

namespace orvalin {

PreferencesStore::ListenerId PreferencesStore::addListener(Listener listener) {
    listeners_.emplace_back(nextListenerId_, std::move(listener));
    return nextListenerId_++;
}

void PreferencesStore::removeListener(ListenerId id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void PreferencesStore::notifyWritten(const Changes& changes) {
    // A listener may add or remove listeners while being told.
    const auto listeners = listeners_;
    for (const auto& change : changes) {
        for (const auto& [id, listener] : listeners) {
            const ListenerId current = id;
            bool stillThere = std::any_of(listeners_.begin(), listeners_.end(),
                                          [current](const auto& entry) { return entry.first == current; });
            if (stillThere) listener(change.first);
        }
    }
}

}  // namespace orvalin
