#include "core/json_file_preferences_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>
#include <vector>

#include "core/temporary_file.h"

namespace orvalin {

namespace fs = std::filesystem;
using nlohmann::ordered_json;

namespace {

// Larger files are not preferences this program wrote; they are kept, not parsed. A thousand
// formats with 100-character names and patterns, 30-character triggers (the longest that can ever
// match) and combinations, all of the characters that cost most to store, make 1.1 MB; parsed, a
// file costs several times its size for as long as the program runs.
constexpr std::uintmax_t kMaxFileSize = std::uintmax_t{2} * 1024 * 1024;
// The file holds four keys; other programs' additions get room to spare.
constexpr std::size_t kMaxKeysPerObject = 1000;
constexpr const char* kBackupInfix = ".unreadable-";

std::string timestamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// One line, whatever the file's name holds.
std::string printable(const fs::path& path) {
    std::string where = path.string();
    std::replace_if(
        where.begin(), where.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; },
        '?');
    return where;
}

// Whether the two files hold the same bytes.
bool sameContent(const fs::path& a, const fs::path& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second) return false;
    std::vector<char> x(64 * 1024), y(64 * 1024);
    for (;;) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (first.gcount() != second.gcount() ||
            !std::equal(x.begin(), x.begin() + first.gcount(), y.begin()))
            return false;
        if (first.gcount() == 0 || !first || !second) return first.eof() && second.eof();
    }
}

}  // namespace

JsonFilePreferencesStore::JsonFilePreferencesStore(fs::path file) : path_(std::move(file)) {
    // Write through a symbolic link (dotfile managers use them) instead of replacing it.
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path_, ec))) {
        fs::path target = fs::weakly_canonical(path_, ec);
        if (!ec) path_ = target;
    }
    // A program killed between writing and renaming leaves a passing file behind, forever otherwise.
    TemporaryFile::removeStale(path_);
    load();
    backupDue_ = !loadProblem_.empty();
    writer_ =
        std::make_unique<BackgroundWriter>([this](const std::string& content) { return persist(content); });
}

JsonFilePreferencesStore::~JsonFilePreferencesStore() {
    flush();
    writer_.reset();
}

fs::path JsonFilePreferencesStore::defaultPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    fs::path base;
    if (xdg != nullptr && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home != nullptr && *home != '\0' ? home : "/tmp") / ".config";
    }
    return base / "orvalin" / "preferences.json";
}

void JsonFilePreferencesStore::load() {
    readFile();
    if (loadProblem_.empty()) return;
    std::cerr << "orvalin: preferences file " << printable(path_) << " unusable (" << loadProblem_
              << "); using the defaults, the file is kept\n";
}

void JsonFilePreferencesStore::readFile() {
    std::error_code ec;
    fs::file_status status = fs::status(path_, ec);
    if (status.type() == fs::file_type::not_found) return;  // first start
    if (ec) {
        loadProblem_ = ec.message();
        return;
    }
    if (status.type() != fs::file_type::regular) {
        loadProblem_ = "not a regular file";
        return;
    }
    std::uintmax_t size = fs::file_size(path_, ec);
    if (ec || size > kMaxFileSize) {
        loadProblem_ = ec ? ec.message() : "file too large";
        return;
    }
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        loadProblem_ = std::strerror(errno);
        return;
    }
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        loadProblem_ = "read error";
        return;
    }
    // Each key added to an ordered object is compared with every one before it, so a file of many
    // thousand keys would take minutes to load; such a file is no file of ours.
    bool tooManyKeys = false;
    std::vector<std::size_t> keysPerObject;
    auto limitKeys = [&](int, nlohmann::json::parse_event_t event, ordered_json&) {
        using Event = nlohmann::json::parse_event_t;
        if (event == Event::object_start) keysPerObject.push_back(0);
        if (event == Event::object_end && !keysPerObject.empty()) keysPerObject.pop_back();
        if (event == Event::key && !keysPerObject.empty() && ++keysPerObject.back() > kMaxKeysPerObject) {
            tooManyKeys = true;
            return false;  // skipped, not stored: the parse goes on at no cost
        }
        return true;
    };
    ordered_json parsed = ordered_json::parse(content, limitKeys, /*allow_exceptions=*/false);
    if (tooManyKeys) {
        loadProblem_ = "too many keys";
    } else if (parsed.is_discarded()) {
        loadProblem_ = "not valid JSON";
    } else if (!parsed.is_object()) {
        loadProblem_ = "not a JSON object";
    } else {
        data_ = std::move(parsed);
    }
}

std::optional<std::string> JsonFilePreferencesStore::string(std::string_view key) const {
    auto it = data_.find(key);
    if (it == data_.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}

std::optional<bool> JsonFilePreferencesStore::boolean(std::string_view key) const {
    auto it = data_.find(key);
    if (it == data_.end() || !it->is_boolean()) return std::nullopt;
    return it->get<bool>();
}

void JsonFilePreferencesStore::preserveBeforeNextWrite() {
    std::lock_guard lock(backupMutex_);
    backupDue_ = true;
}

bool JsonFilePreferencesStore::backupDue() const {
    std::lock_guard lock(backupMutex_);
    return backupDue_;
}

std::optional<fs::path> JsonFilePreferencesStore::lastBackup() const {
    std::lock_guard lock(backupMutex_);
    return lastBackup_;
}

// A name beside the file that nothing has yet.
std::optional<fs::path> JsonFilePreferencesStore::freeBackupName() const {
    const std::string stem = path_.filename().string() + kBackupInfix + timestamp();
    std::error_code ec;
    for (int attempt = 1; attempt < 1000; ++attempt) {
        fs::path backup = path_.parent_path() / (attempt == 1 ? stem : stem + "-" + std::to_string(attempt));
        if (!fs::exists(fs::symlink_status(backup, ec))) return backup;
    }
    return std::nullopt;
}

// A copy an earlier run kept of the file as it is now (that run could copy it but not replace it).
std::optional<fs::path> JsonFilePreferencesStore::existingCopy() const {
    const std::string prefix = path_.filename().string() + kBackupInfix;
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path_, ec);
    if (ec) return std::nullopt;
    for (const auto& entry : fs::directory_iterator(path_.parent_path(), ec)) {
        std::error_code entryError;
        if (entry.path().filename().string().starts_with(prefix) && entry.is_regular_file(entryError) &&
            !entry.is_symlink(entryError) && entry.file_size(entryError) == size && !entryError &&
            sameContent(entry.path(), path_)) {
            return entry.path();
        }
    }
    return std::nullopt;
}

// A copy, so that the original stays in place until the new file replaces it. It is made whole
// under a passing name first: a full disk leaves no half copy.
std::optional<fs::path> JsonFilePreferencesStore::copyAside() const {
    if (auto kept = existingCopy()) return kept;
    auto backup = freeBackupName();
    if (!backup) return std::nullopt;
    TemporaryFile copy(path_);
    if (!copy.copyFrom(path_) || !copy.commit(*backup)) return std::nullopt;
    return backup;
}

// A directory (or anything else) cannot be replaced by rename: moved aside whole.
std::optional<fs::path> JsonFilePreferencesStore::moveAside() const {
    auto backup = freeBackupName();
    std::error_code ec;
    if (backup) fs::rename(path_, *backup, ec);
    if (!backup || ec) return std::nullopt;
    return backup;
}

bool JsonFilePreferencesStore::backUpCurrentFile() {
    std::error_code ec;
    const fs::file_type type = fs::symlink_status(path_, ec).type();
    std::optional<fs::path> backup;
    if (type != fs::file_type::not_found) {  // else nothing to keep
        backup = type == fs::file_type::regular ? copyAside() : moveAside();
        if (!backup) return false;
    }
    std::lock_guard lock(backupMutex_);
    if (backup) lastBackup_ = backup;
    backupDue_ = false;
    return true;
}

bool JsonFilePreferencesStore::replaceFile(const std::string& content) {
    const fs::path dir = path_.parent_path();
    std::error_code ec;
    if (!fs::exists(dir, ec)) {
        fs::create_directories(dir, ec);
        if (ec) return false;
        fs::permissions(dir, fs::perms::owner_all, ec);
    }
    TemporaryFile file(path_);
    return file.write(content) && file.commit(path_);
}

std::optional<std::pair<ordered_json, std::string>> JsonFilePreferencesStore::withChanges(
    const Changes& changes) const {
    ordered_json next = data_;
    for (const auto& [key, value] : changes) {
        if (std::holds_alternative<bool>(value)) {
            next[key] = std::get<bool>(value);
        } else {
            next[key] = std::get<std::string>(value);
        }
    }
    try {
        std::string content = next.dump(2) + "\n";
        return std::make_pair(std::move(next), std::move(content));
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;  // a text that is not valid UTF-8
    }
}

void JsonFilePreferencesStore::commit(ordered_json next, const Changes& changes) {
    data_ = std::move(next);
    loadProblem_.clear();
    notifyWritten(changes);
}

bool JsonFilePreferencesStore::persist(const std::string& content) {
    const bool ok = (!backupDue() || backUpCurrentFile()) && replaceFile(content);
    if (!ok && !reportedFailure_) {
        std::cerr << "orvalin: preferences file " << printable(path_)
                  << " could not be written; it is tried again at the next change\n";
    }
    reportedFailure_ = !ok;
    return ok;
}

bool JsonFilePreferencesStore::write(const Changes& changes) {
    auto next = withChanges(changes);
    if (!next) return false;
    if (!writer_->waitFor(writer_->submit(std::move(next->second)))) return false;
    commit(std::move(next->first), changes);
    return true;
}

bool JsonFilePreferencesStore::writeSoon(const Changes& changes) {
    auto next = withChanges(changes);
    if (!next) return false;
    writer_->submit(std::move(next->second));
    commit(std::move(next->first), changes);
    return true;
}

// A content that could not be written is tried once more: the folder may be writable again.
bool JsonFilePreferencesStore::flush() {
    const BackgroundWriter::Ticket last = writer_->lastTicket();
    if (last == 0 || writer_->waitFor(last)) return true;
    return writer_->waitFor(writer_->submit(data_.dump(2) + "\n"));
}

}  // namespace orvalin
