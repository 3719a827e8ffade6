#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/background_writer.h"

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
// fsync, rename), mode 0600, always by one background thread: write() waits for it, writeSoon()
// does not, and the destructor lets it finish. A file that cannot be read or parsed (or is larger
// than preferences can be) is never overwritten without a copy: it is left as it is until the
// first write, which first keeps it beside itself under a timestamped name, once, mode 0600, whole
// or not at all. Passing files that writers killed on the way left beside it go at the start.
class JsonFilePreferencesStore : public PreferencesStore {
public:
    explicit JsonFilePreferencesStore(std::filesystem::path file);
    // Waits for the file to hold every write made.
    ~JsonFilePreferencesStore() override;

    // $XDG_CONFIG_HOME/orvalin/preferences.json, or ~/.config/orvalin/preferences.json.
    static std::filesystem::path defaultPath();

    std::optional<std::string> string(std::string_view key) const override;
    std::optional<bool> boolean(std::string_view key) const override;
    bool contains(std::string_view key) const override { return data_.contains(key); }
    bool write(const Changes& changes) override;
    // A file that cannot be written is reported once on standard error and written again with
    // the next change, and at the latest by flush().
    bool writeSoon(const Changes& changes) override;
    bool flush() override;
    void preserveBeforeNextWrite() override;

    const std::filesystem::path& path() const { return path_; }
    // Why the file could not be used at start, empty when it could.
    const std::string& loadProblem() const { return loadProblem_; }
    // Where the last write kept the copy of an unusable file, if it did.
    std::optional<std::filesystem::path> lastBackup() const;

private:
    // Reads the file; a file that cannot be used is reported in one line on standard error.
    void load();
    void readFile();
    // `data_` with the changes made, and its file content; none when it cannot be written.
    std::optional<std::pair<nlohmann::ordered_json, std::string>> withChanges(const Changes& changes) const;
    void commit(nlohmann::ordered_json next, const Changes& changes);
    // On the writer's thread: the copy if one is due, then the file.
    bool persist(const std::string& content);
    bool backupDue() const;
    bool backUpCurrentFile();
    std::optional<std::filesystem::path> freeBackupName() const;
    std::optional<std::filesystem::path> existingCopy() const;
    std::optional<std::filesystem::path> copyAside() const;
    std::optional<std::filesystem::path> moveAside() const;
    bool replaceFile(const std::string& content);

    std::filesystem::path path_;
    nlohmann::ordered_json data_ = nlohmann::ordered_json::object();
    std::string loadProblem_;

    // Shared with the writer's thread.
    mutable std::mutex backupMutex_;
    bool backupDue_ = false;
    std::optional<std::filesystem::path> lastBackup_;
    bool reportedFailure_ = false;  // writer's thread only

    // Last: it stops, writing what is waiting, before anything it uses goes.
    std::unique_ptr<BackgroundWriter> writer_;
};

}  // namespace orvalin
