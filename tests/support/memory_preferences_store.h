#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/preferences_store.h"

namespace orvalin {

// The preferences in memory only: what was written, how often, and a store that refuses writes.
class MemoryPreferencesStore : public PreferencesStore {
public:
    std::optional<std::string> string(std::string_view key) const override { return get<std::string>(key); }
    std::optional<bool> boolean(std::string_view key) const override { return get<bool>(key); }
    bool contains(std::string_view key) const override { return values.find(key) != values.end(); }
    bool write(const Changes& changes) override {
        if (failWrites) return false;
        for (const auto& [key, value] : changes) values[key] = value;
        ++writeCount;
        notifyWritten(changes);
        return true;
    }
    void preserveBeforeNextWrite() override { ++preserveRequests; }

    std::map<std::string, Value, std::less<>> values;
    int writeCount = 0;
    int preserveRequests = 0;
    bool failWrites = false;

private:
    template <typename T>
    std::optional<T> get(std::string_view key) const {
        auto it = values.find(key);
        if (it == values.end() || !std::holds_alternative<T>(it->second)) return std::nullopt;
        return std::get<T>(it->second);
    }
};

}  // namespace orvalin
