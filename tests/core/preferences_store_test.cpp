#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "core/format_catalogue.h"
#include "core/json_file_preferences_store.h"
#include "support/captured_stderr.h"
#include "support/memory_preferences_store.h"
#include "support/small_filesystem.h"
#include "support/temp_config_home.h"

namespace orvalin {
namespace {

namespace fs = std::filesystem;
using Store = JsonFilePreferencesStore;

using PreferencesFile = TempConfigHome;

// The names in `dir`, sorted.
std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST_F(PreferencesFile, DefaultPathFollowsXdgConfigHomeThenHome) {
    EXPECT_EQ(Store::defaultPath(), prefsFile());
    xdg_.set("relative/ignored");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(Store::defaultPath(), fs::path("/home/someone/.config/orvalin/preferences.json"));
}

TEST_F(PreferencesFile, ValuesRoundTripThroughTheFileWithPrivateMode) {
    {
        Store store(prefsFile());
        EXPECT_FALSE(fs::exists(prefsFile()));
        ASSERT_TRUE(store.write({{"Orvalin.appearance", std::string("dark")},
                                 {"Orvalin.onboardingCompleted", true},
                                 {"Orvalin.shortcuts.v2", std::string("[{\"a\":\"é\"}]")}}));
    }
    std::optional<Store> loaded;
    EXPECT_EQ(stderrOf([&] { loaded.emplace(prefsFile()); }), "") << "a sound file is not reported";
    Store& again = *loaded;
    EXPECT_TRUE(again.loadProblem().empty());
    EXPECT_EQ(again.string("Orvalin.appearance"), "dark");
    EXPECT_EQ(again.boolean("Orvalin.onboardingCompleted"), true);
    EXPECT_EQ(again.string("Orvalin.shortcuts.v2"), "[{\"a\":\"é\"}]");
    EXPECT_FALSE(again.string("Orvalin.onboardingCompleted"));  // wrong type reads as absent
    EXPECT_FALSE(again.boolean("missing"));
    struct stat st {};
    ASSERT_EQ(stat(prefsFile().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(siblings().empty());  // no temporary file left behind
}

TEST_F(PreferencesFile, UnknownKeysOfTheFileSurviveAWriteAndACopyIsKeptOnlyWhenAsked) {
    writePrefs(R"({"Other.key":[1,2,3],"Orvalin.appearance":"light"})");
    Store store(prefsFile());
    ASSERT_TRUE(store.write({{"Orvalin.appearance", std::string("dark")}}));
    Store again(prefsFile());
    EXPECT_EQ(again.string("Orvalin.appearance"), "dark");
    EXPECT_NE(readFile(prefsFile()).find("Other.key"), std::string::npos);
    EXPECT_TRUE(siblings().empty());  // a readable file needs no copy

    // Unless asked: then it is copied before it is replaced.
    const std::string before = readFile(prefsFile());
    again.preserveBeforeNextWrite();
    ASSERT_TRUE(again.write({{"Orvalin.shortcuts.v2", std::string("[]")}}));
    ASSERT_EQ(siblings().size(), 1u);
    EXPECT_EQ(readFile(siblings()[0]), before);
}

TEST_F(PreferencesFile, UnusableFilesAreLeftAloneUntilTheFirstWriteWhichKeepsACopy) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"truncated", R"({"Orvalin.appearance":"da)"},
        {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0\xff\xfe", 12)},
        {"wrong shape", R"(["Orvalin.appearance","dark"])"},
        {"empty", ""},
        {"three megabytes of valid JSON", R"({"Other":")" + std::string(3 * 1024 * 1024, 'x') + R"("})"},
        // Under the size limit, yet each key costs a look through all the others: minutes to load.
        {"an object of 100000 keys",
         [] {
             std::string many = "{";
             for (int i = 0; i < 100000; ++i) many += "\"k" + std::to_string(i) + "\":0,";
             many.back() = '}';
             return many;
         }()},
    };
    for (const auto& [what, content] : cases) {
        fs::remove_all(prefsDir());
        writePrefs(content);
        std::optional<Store> loaded;
        const std::string said = stderrOf([&] { loaded.emplace(prefsFile()); });
        Store& store = *loaded;
        EXPECT_FALSE(store.loadProblem().empty()) << what;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << what << ": " << said;
        EXPECT_NE(said.find(prefsFile().string()), std::string::npos) << what << ": " << said;
        EXPECT_FALSE(store.string("Orvalin.appearance")) << what;
        EXPECT_EQ(readFile(prefsFile()), content) << what;  // loading changed nothing
        ASSERT_TRUE(store.write({{"Orvalin.appearance", std::string("light")}})) << what;
        ASSERT_EQ(siblings().size(), 1u) << what;
        EXPECT_EQ(readFile(siblings()[0]), content) << what;
        EXPECT_NE(siblings()[0].filename().string().find("preferences.json.unreadable-"), std::string::npos);
        EXPECT_EQ(Store(prefsFile()).string("Orvalin.appearance"), "light") << what;
        ASSERT_TRUE(store.write({{"Orvalin.appearance", std::string("dark")}}));
        EXPECT_EQ(siblings().size(), 1u) << what << ": only the first write keeps a copy";
    }
}

// The size limit never refuses a list the program itself could have written.
TEST_F(PreferencesFile, AThousandOfTheLargestFormatsStillLoad) {
    {
        Store store(prefsFile());
        FormatCatalogue catalogue(store);
        auto& list = catalogue.mutableShortcuts();
        // The characters that take most room in the file: a quote is escaped twice, as part of
        // the list's JSON and of the file's.
        for (int i = 0; i < 1000; ++i) {
            list.push_back(Shortcut{Uuid::generate(), std::string(100, '"'), std::string(100, '"'),
                                    std::string(30, '"'), GlobalShortcut{0xFFFF, 0x1E0000, "⌃⌥⇧⌘F12"}});
        }
        ASSERT_TRUE(catalogue.saveShortcuts());
    }
    Store store(prefsFile());
    EXPECT_TRUE(store.loadProblem().empty()) << store.loadProblem() << ", " << fs::file_size(prefsFile());
    FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    EXPECT_EQ(catalogue.shortcuts().size(), 1003u);
}

TEST_F(PreferencesFile, ADirectoryInThePlaceOfTheFileIsMovedAsideWhole) {
    fs::create_directories(prefsFile());
    std::ofstream(prefsFile() / "inside") << "keep me";
    Store store(prefsFile());
    EXPECT_FALSE(store.loadProblem().empty());
    EXPECT_TRUE(fs::is_directory(prefsFile()));
    ASSERT_TRUE(store.write({{"k", true}}));
    ASSERT_TRUE(store.lastBackup());
    EXPECT_EQ(readFile(*store.lastBackup() / "inside"), "keep me");
    EXPECT_EQ(Store(prefsFile()).boolean("k"), true);
}

TEST_F(PreferencesFile, AFailedWriteKeepsThePreviousFileAndValues) {
    Store store(prefsFile());
    ASSERT_TRUE(store.write({{"a", std::string("1")}}));
    const std::string before = readFile(prefsFile());
    EXPECT_FALSE(store.write({{"a", std::string("\xff\xfe", 2)}}));  // not UTF-8: refused
    if (geteuid() != 0) {                                            // root ignores directory permissions
        fs::permissions(prefsDir(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(store.write({{"a", std::string("2")}}));
        fs::permissions(prefsDir(), fs::perms::owner_all);
    }
    EXPECT_EQ(readFile(prefsFile()), before);
    EXPECT_EQ(store.string("a"), "1");
    EXPECT_TRUE(siblings().empty());
}

// Quick edits do not wait for the disk, and none is lost: the last of a burst is in the file
// once the store is flushed or gone (the program quitting right after a keystroke).
TEST_F(PreferencesFile, EditsWrittenSoonAreReadAtOnceAndInTheFileWhenTheStoreGoes) {
    {
        Store store(prefsFile());
        for (int i = 1; i <= 200; ++i) ASSERT_TRUE(store.writeSoon({{"n", std::to_string(i)}}));
        EXPECT_EQ(store.string("n"), "200");
        EXPECT_FALSE(store.writeSoon({{"n", std::string("\xff", 1)}}));
        EXPECT_EQ(store.string("n"), "200");
    }
    EXPECT_EQ(Store(prefsFile()).string("n"), "200");
    EXPECT_TRUE(siblings().empty());
}

// A folder the file cannot go into (a plain file in its place): the edit stays in the store, is
// reported once, and reaches the file as soon as the folder can be made.
TEST_F(PreferencesFile, AnEditTheDiskRefusedIsWrittenAtTheNextFlush) {
    Store store(prefsFile());
    ASSERT_TRUE(store.write({{"a", std::string("1")}}));
    fs::remove_all(prefsDir());
    std::ofstream(prefsDir()) << "in the way";
    const std::string said = stderrOf([&] {
        EXPECT_TRUE(store.writeSoon({{"a", std::string("2")}}));
        EXPECT_TRUE(store.writeSoon({{"a", std::string("3")}}));
        EXPECT_FALSE(store.flush());
        EXPECT_FALSE(store.write({{"b", true}}));
    });
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(store.string("a"), "3");
    EXPECT_FALSE(store.boolean("b"));
    fs::remove(prefsDir());
    EXPECT_TRUE(store.flush());
    EXPECT_EQ(Store(prefsFile()).string("a"), "3");
}

TEST_F(PreferencesFile, WritesGoThroughASymbolicLinkInsteadOfReplacingIt) {
    fs::create_directories(prefsDir());
    const fs::path real = root_ / "dotfiles-prefs.json";
    std::ofstream(real) << "{}";
    fs::create_symlink(real, prefsFile());
    Store store(prefsFile());
    ASSERT_TRUE(store.write({{"k", true}}));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(prefsFile())));
    EXPECT_NE(readFile(real).find("\"k\""), std::string::npos);
}

// A writer killed at any moment leaves either the previous or the next file, always whole.
TEST_F(PreferencesFile, KilledWriterNeverLeavesAHalfWrittenFile) {
    {
        Store seed(prefsFile());
        ASSERT_TRUE(seed.write({{"n", std::string("0")}}));
    }
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Store store(prefsFile());
        const std::string filler(64 * 1024, 'f');
        for (int i = 1;; ++i) store.write({{"n", std::to_string(i)}, {"filler", filler}});
    }
    for (int i = 0; i < 100; ++i) {
        Store reader(prefsFile());
        ASSERT_TRUE(reader.loadProblem().empty()) << "read " << i << ": " << reader.loadProblem();
        ASSERT_TRUE(reader.string("n"));
        usleep(500);
    }
    // Killed while its passing file is there (stopped until it is): the next start removes it.
    auto passingFile = [&] {
        auto names = namesIn(prefsDir());
        return std::any_of(names.begin(), names.end(), [](auto& n) { return n.find(".tmp-") != n.npos; });
    };
    int status = 0;
    bool caught = false;
    for (int i = 0; i < 2000 && !caught; ++i) {
        kill(child, SIGSTOP);
        waitpid(child, &status, WUNTRACED);
        caught = passingFile();
        if (caught) break;
        kill(child, SIGCONT);
        usleep(200 + 97 * (i % 20));  // to stop it elsewhere in its loop each time
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    ASSERT_TRUE(caught) << "never stopped with a passing file";
    Store after(prefsFile());
    EXPECT_TRUE(after.loadProblem().empty());
    EXPECT_TRUE(after.string("n"));
    EXPECT_EQ(namesIn(prefsDir()), std::vector<std::string>{"preferences.json"});
}

// Passing files left by writers that were killed go at the next start; one another process is
// writing stays, as do files of other names.
TEST_F(PreferencesFile, PassingFilesOfKilledWritersGoAtTheNextStartThoseBeingWrittenStay) {
    writePrefs(R"({"n":"1"})");
    const fs::path stale = prefsDir() / "preferences.json.tmp-k1lled";
    const fs::path busy = prefsDir() / "preferences.json.tmp-wr1t1n";
    const fs::path other = prefsDir() / "preferences.json.tmp-notes.txt";
    for (const auto& path : {stale, busy, other}) std::ofstream(path) << R"({"n":)";
    int writing = ::open(busy.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(writing, LOCK_EX), 0);
    {
        Store store(prefsFile());
        EXPECT_EQ(store.string("n"), "1");
        EXPECT_FALSE(fs::exists(stale));
        EXPECT_TRUE(fs::exists(busy)) << "a file still being written was removed";
        ASSERT_TRUE(store.write({{"n", std::string("2")}}));
    }
    ::close(writing);
    Store again(prefsFile());
    EXPECT_EQ(again.string("n"), "2");
    EXPECT_EQ(namesIn(prefsDir()), (std::vector<std::string>{"preferences.json", other.filename().string()}));
}

// A disk filled to the last byte, with an unusable file on it: a copy that fails part-way leaves
// nothing, the copy that succeeds is whole and the user's alone, and it is the only one, even
// when the file could be copied but not replaced and the program started again.
TEST_F(PreferencesFile, OnAFullDiskAFailedCopyLeavesNothingAndTheFileGetsOneWholeCopy) {
    constexpr std::size_t kPage = 4096;
    SmallFilesystem disk(64 * kPage);
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    const fs::path dir = disk.path() / "orvalin";
    const fs::path file = dir / "preferences.json";
    fs::create_directories(dir);
    const std::string unusable = "{" + std::string(25 * kPage - 1, 'x');  // 25 pages, not JSON
    std::ofstream(file) << unusable;
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    disk.fill();
    const std::vector<std::string> alone{"preferences.json"};
    {
        Store store(file);
        ASSERT_FALSE(store.loadProblem().empty());
        for (int i = 0; i < 3; ++i) EXPECT_FALSE(store.write({{"n", std::to_string(i)}}));
        EXPECT_EQ(namesIn(dir), alone);
        disk.release(12 * kPage);
        EXPECT_FALSE(store.write({{"n", std::string("half")}})) << "half a copy fits";
        EXPECT_EQ(namesIn(dir), alone);
        disk.release(13 * kPage);
        EXPECT_FALSE(store.write({{"n", std::string("copy")}})) << "a copy fits, the new file does not";
    }
    auto copies = namesIn(dir);
    ASSERT_EQ(copies.size(), 2u);
    const fs::path copy = dir / copies[1];
    EXPECT_EQ(readFile(copy), unusable);
    EXPECT_EQ(modeOf(copy), 0600u);

    Store again(file);
    EXPECT_FALSE(again.write({{"n", std::string("still full")}}));
    disk.release(64 * kPage);
    ASSERT_TRUE(again.write({{"n", std::string("done")}}));
    EXPECT_EQ(namesIn(dir), copies) << "the program started again copied the same file again";
    EXPECT_EQ(again.lastBackup(), copy);
    EXPECT_EQ(Store(file).string("n"), "done");
    EXPECT_EQ(modeOf(file), 0600u);
}

// Readers are told what a write stored, only when it was stored, and can stop listening, even
// from inside a notification.
TEST_F(PreferencesFile, ListenersHearSuccessfulWritesOnly) {
    Store store(prefsFile());
    std::vector<std::string> heard;
    auto first = store.addListener([&](const std::string& key) { heard.push_back("1:" + key); });
    PreferencesStore::ListenerId second = 0;
    second = store.addListener([&](const std::string& key) {
        heard.push_back("2:" + key);
        store.removeListener(second);
    });
    ASSERT_TRUE(store.write({{"Orvalin.appearance", std::string("dark")}, {"k", true}}));
    EXPECT_EQ(heard, (std::vector<std::string>{"1:Orvalin.appearance", "2:Orvalin.appearance", "1:k"}));
    heard.clear();
    EXPECT_FALSE(store.write({{"bad", std::string("\xff", 1)}}));
    EXPECT_TRUE(heard.empty());
    store.removeListener(first);
    ASSERT_TRUE(store.write({{"k", false}}));
    EXPECT_TRUE(heard.empty());

    MemoryPreferencesStore memory;
    memory.addListener([&](const std::string& key) { heard.push_back(key); });
    memory.failWrites = true;
    EXPECT_FALSE(memory.write({{"a", true}}));
    memory.failWrites = false;
    EXPECT_TRUE(memory.write({{"b", true}}));
    EXPECT_EQ(heard, std::vector<std::string>{"b"});
}

}  // namespace
}  // namespace orvalin
