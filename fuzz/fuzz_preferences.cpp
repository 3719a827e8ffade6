// Preferences loading from arbitrary file content: the JSON file store reads the file, the
// catalogue takes the format list from it, a save writes it back. Nothing the user had is lost:
// an unusable file or list is copied aside before the first write, every other value survives the
// write, and what was saved loads again unchanged.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/format_catalogue.h"
#include "core/json_file_preferences_store.h"
#include "core/shortcut_json.h"
#include "fuzz_check.h"

using namespace orvalin;
using orvalin::fuzz::isValidUtf8;
namespace fs = std::filesystem;
using nlohmann::ordered_json;

namespace {

fs::path workDir;

void removeWorkDir() {
    std::error_code ec;
    fs::remove_all(workDir, ec);
}

// In memory when the system offers it: every input is written, copied and synced.
fs::path makeWorkDir() {
    std::error_code ec;
    fs::path base = fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0
                        ? fs::path("/dev/shm")
                        : fs::temp_directory_path();
    std::string pattern = (base / "orvalin-fuzz-prefs-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void clearWorkDir() {
    for (const auto& entry : fs::directory_iterator(workDir)) fs::remove_all(entry.path());
}

// The list the catalogue must hold after loading: the stored one when it decodes, else the built-ins.
bool storedListUsable(const PreferencesStore& store, std::vector<Shortcut>& list) {
    auto text = store.string(prefkey::kShortcuts);
    if (!text) return false;
    auto decoded = decodeShortcuts(*text);
    if (!decoded) return false;
    list = std::move(*decoded);
    return true;
}

bool sameEntriesButIds(const std::vector<Shortcut>& a, const std::vector<Shortcut>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].label != b[i].label || a[i].dateFormat != b[i].dateFormat || a[i].trigger != b[i].trigger ||
            a[i].globalShortcut != b[i].globalShortcut || a[i].dayOffset != b[i].dayOffset ||
            a[i].locale != b[i].locale || a[i].keptMembers != b[i].keptMembers)
            return false;
    }
    return true;
}

void checkDefault(const FormatCatalogue& catalogue, const PreferencesStore& store) {
    const auto& list = catalogue.shortcuts();
    auto chosen = catalogue.defaultShortcut();
    FUZZ_REQUIRE(chosen.has_value() == !list.empty());
    if (list.empty()) return;
    FUZZ_REQUIRE(catalogue.defaultFormatId() == chosen->id);
    auto storedId = store.string(prefkey::kDefaultFormatId);
    auto parsedId = storedId ? Uuid::parse(*storedId) : std::nullopt;
    bool known = parsedId &&
                 std::any_of(list.begin(), list.end(), [&](const Shortcut& s) { return s.id == *parsedId; });
    FUZZ_REQUIRE(chosen->id == (known ? *parsedId : list.front().id));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Nearly every input is reported as unusable in a line of its own, thousands a run, which bury
    // the fuzzer's own lines; the ordinary tests check them. A broken invariant still says so.
    std::cerr.rdbuf(nullptr);
    workDir = makeWorkDir();
    std::atexit(removeWorkDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view original(reinterpret_cast<const char*>(data), size);
    clearWorkDir();
    const fs::path file = workDir / "preferences.json";
    writeFile(file, original);

    const ordered_json parsed = ordered_json::parse(original, nullptr, /*allow_exceptions=*/false);
    const bool usableFile = !parsed.is_discarded() && parsed.is_object();

    JsonFilePreferencesStore store(file);
    FUZZ_REQUIRE(store.loadProblem().empty() == usableFile);

    FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    std::vector<Shortcut> stored;
    const bool usableList = storedListUsable(store, stored);
    if (usableList) {
        FUZZ_REQUIRE(catalogue.shortcuts() == stored);
    } else {
        FUZZ_REQUIRE(sameEntriesButIds(catalogue.shortcuts(), FormatCatalogue::builtInShortcuts()));
    }
    checkDefault(catalogue, store);

    // The first save keeps a copy of whatever could not be used, byte for byte.
    const bool listPresent = usableFile && parsed.contains(prefkey::kShortcuts);
    // Saves reach the file behind the caller's back; flush waits for them.
    FUZZ_REQUIRE(catalogue.saveShortcuts() && store.flush());
    if (!usableFile || (listPresent && !usableList)) {
        FUZZ_REQUIRE(store.lastBackup().has_value());
        FUZZ_REQUIRE(readFile(*store.lastBackup()) == original);
    }

    // Every other value is still there, and the saved list and default load again unchanged.
    const ordered_json written = ordered_json::parse(readFile(file), nullptr, false);
    FUZZ_REQUIRE(written.is_object());
    if (usableFile) {
        for (const auto& [key, value] : parsed.items()) {
            if (key == prefkey::kShortcuts || key == prefkey::kDefaultFormatId) continue;
            FUZZ_REQUIRE(written.contains(key) && written.at(key) == value);
        }
    }
    JsonFilePreferencesStore reread(file);
    FUZZ_REQUIRE(reread.loadProblem().empty());
    FormatCatalogue reloaded(reread);
    reloaded.loadShortcuts();
    FUZZ_REQUIRE(reloaded.shortcuts() == catalogue.shortcuts());
    FUZZ_REQUIRE(reloaded.defaultFormatId() == catalogue.defaultFormatId() || catalogue.shortcuts().empty());
    return 0;
}
