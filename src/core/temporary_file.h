#pragma once

#include <filesystem>
#include <string>

namespace orvalin {

// A file made beside another under a passing name (<name>.tmp-XXXXXX), readable by the user alone
// from its creation, that takes its final name only once whole and synced; otherwise it goes with
// the object. It stays locked while open, which tells a file still being written from one left by
// a process that was killed: removeStale() removes only those.
class TemporaryFile {
public:
    // Made in the folder of `beside`, named after it; see ok().
    explicit TemporaryFile(const std::filesystem::path& beside);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Whether the file could be made.
    bool ok() const { return fd_ >= 0; }
    bool write(const std::string& content);
    // Appends the whole content of the regular file `source`.
    bool copyFrom(const std::filesystem::path& source);
    // Syncs the file and renames it to `to` (replacing what is there), then syncs the folder; after
    // any failure so far it is removed instead, and false.
    bool commit(const std::filesystem::path& to);

    // Removes the passing files named after `beside` that no process is writing.
    static void removeStale(const std::filesystem::path& beside);

private:
    std::string path_;
    int fd_ = -1;
    bool failed_ = false;
};

}  // namespace orvalin
