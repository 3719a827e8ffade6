#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

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

// In memory only, for tests.
class MemoryPreferencesStore : public PreferencesStore {
public:
    std::optional<std::string> string(std::string_view key) const override;
    std::optional<bool> boolean(std::string_view key) const override;
    bool contains(std::string_view key) const override { return values.find(key) != values.end(); }
    bool write(const Changes& changes) override;
    void preserveBeforeNextWrite() override { ++preserveRequests; }

    std::map<std::string, Value, std::less<>> values;
    int writeCount = 0;
    int preserveRequests = 0;
    bool failWrites = false;
};

// One JSON object in a file, replaced whole and atomically on every write (temporary file,
// fsync, rename), mode 0600. A file that cannot be read or parsed (or is larger than preferences
// can be) is never overwritten without a copy: it is left as it is until the first write, which
// first keeps it beside itself under a timestamped name.
class JsonFilePreferencesStore : public PreferencesStore {
public:
    explicit JsonFilePreferencesStore(std::filesystem::path file);

    // $XDG_CONFIG_HOME/orvalin/preferences.json, or ~/.config/orvalin/preferences.json.
    static std::filesystem::path defaultPath();

    std::optional<std::string> string(std::string_view key) const override;
    std::optional<bool> boolean(std::string_view key) const override;
    bool contains(std::string_view key) const override { return data_.contains(key); }
    bool write(const Changes& changes) override;
    void preserveBeforeNextWrite() override { preserve_ = true; }

    const std::filesystem::path& path() const { return path_; }
    // Why the file could not be used at start, empty when it could.
    const std::string& loadProblem() const { return loadProblem_; }
    // Where the last write kept the copy of an unusable file, if it did.
    const std::optional<std::filesystem::path>& lastBackup() const { return lastBackup_; }

private:
    // Reads the file; a file that cannot be used is reported in one line on standard error.
    void load();
    void readFile();
    bool backUpCurrentFile();
    bool replaceFile(const std::string& content);

    std::filesystem::path path_;
    nlohmann::ordered_json data_ = nlohmann::ordered_json::object();
    std::string loadProblem_;
    bool preserve_ = false;
    std::optional<std::filesystem::path> lastBackup_;
};

}  // namespace orvalin
