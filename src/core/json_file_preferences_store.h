#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

#include "core/background_writer.h"
#include "core/preferences_store.h"

namespace orvalin {

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
