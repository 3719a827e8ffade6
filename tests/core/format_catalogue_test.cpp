#include "core/format_catalogue.h"
#include "core/json_file_preferences_store.h"
#include "core/shortcut_json.h"
#include "support/captured_stderr.h"
#include "support/memory_preferences_store.h"
#include "support/temp_config_home.h"

namespace orvalin {
namespace {

std::vector<std::string> labels(const FormatCatalogue& c) {
    std::vector<std::string> out;
    for (const auto& s : c.shortcuts()) out.push_back(s.label);
    return out;
}

// A catalogue on a memory store.
class Catalogue : public ::testing::Test {
protected:
    MemoryPreferencesStore store;
    FormatCatalogue c{store};
};

TEST_F(Catalogue, FirstStartHasTheBuiltInsWithCourtAsDefaultAndWritesNothing) {
    const Uuid before = c.defaultFormatId();
    EXPECT_TRUE(std::none_of(c.shortcuts().begin(), c.shortcuts().end(),
                             [&](const Shortcut& s) { return s.id == before; }));
    c.loadShortcuts();
    EXPECT_EQ(labels(c), (std::vector<std::string>{"Court", "Long", "ISO"}));
    EXPECT_EQ(c.shortcuts()[0].dateFormat, "dd/MM/yyyy ");
    EXPECT_EQ(c.shortcuts()[1].dateFormat, "EEEE d MMMM yyyy ");
    EXPECT_EQ(c.shortcuts()[2].trigger, "dt ");
    EXPECT_EQ(c.defaultFormatId(), c.shortcuts()[0].id);
    EXPECT_EQ(c.defaultShortcut()->label, "Court");
    EXPECT_EQ(store.writeCount, 0);
    EXPECT_EQ(store.preserveRequests, 0);
    c.setDefaultFormatId(c.shortcuts()[2].id);
    EXPECT_EQ(c.defaultShortcut()->label, "ISO");
    c.setDefaultFormatId(Uuid::generate());  // unknown: the first entry
    EXPECT_EQ(c.defaultShortcut()->label, "Court");
}

TEST_F(Catalogue, SavedListAndDefaultReloadEqual) {
    c.loadShortcuts();
    c.addShortcut();
    c.mutableShortcuts()[3].globalShortcut = GlobalShortcut{2, 0xC0000, "⌃⌥D"};
    c.setDefaultFormatId(c.shortcuts()[2].id);
    ASSERT_TRUE(c.saveShortcuts());
    EXPECT_EQ(store.string(prefkey::kDefaultFormatId), c.shortcuts()[2].id.toString());

    FormatCatalogue reloaded(store);
    reloaded.loadShortcuts();
    EXPECT_EQ(reloaded.shortcuts(), c.shortcuts());
    EXPECT_EQ(reloaded.defaultFormatId(), c.shortcuts()[2].id);
}

TEST_F(Catalogue, StoredEmptyListLoadsEmptyAndKeepsTheRandomDefault) {
    store.values[prefkey::kShortcuts] = std::string("[]");
    const Uuid initial = c.defaultFormatId();
    c.loadShortcuts();
    EXPECT_TRUE(c.shortcuts().empty());
    EXPECT_EQ(c.defaultFormatId(), initial);
    EXPECT_FALSE(c.defaultShortcut());
    c.deleteShortcut(initial);  // nothing to delete, nothing to repair
    EXPECT_EQ(c.defaultFormatId(), initial);
}

TEST(FormatCatalogue, UnknownOrBadDefaultIdFallsBackToTheFirstEntry) {
    for (const char* stored : {"garbage", "6F9619FF-8B86-D011-B42D-00C04FC964FF", ""}) {
        MemoryPreferencesStore store;
        FormatCatalogue first(store);
        first.loadShortcuts();
        first.saveShortcuts();
        store.values[prefkey::kDefaultFormatId] = std::string(stored);
        FormatCatalogue c(store);
        c.loadShortcuts();
        EXPECT_EQ(c.defaultFormatId(), c.shortcuts()[0].id) << stored;
    }
}

TEST(FormatCatalogue, UndecodableOrNonTextListKeepsBuiltInsAndAsksForACopy) {
    for (const PreferencesStore::Value& stored :
         {PreferencesStore::Value(std::string(R"([{"id":"x","label":"a","dateFormat":"b","trigger":"c"}])")),
          PreferencesStore::Value(true)}) {
        MemoryPreferencesStore store;
        store.values[prefkey::kShortcuts] = stored;
        FormatCatalogue c(store);
        const std::string said = stderrOf([&] { c.loadShortcuts(); });
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("stored formats unreadable"), std::string::npos) << said;
        EXPECT_EQ(labels(c), (std::vector<std::string>{"Court", "Long", "ISO"})) << stored.index();
        EXPECT_EQ(store.writeCount, 0);
        EXPECT_EQ(store.preserveRequests, 1) << stored.index();
    }
}

TEST_F(Catalogue, NewTriggersAreNumberedAndReusedAfterDeletion) {
    c.loadShortcuts();
    const Uuid defaultBefore = c.defaultFormatId();
    const Shortcut first = c.addShortcut();
    EXPECT_EQ(first.trigger, "new ");
    EXPECT_EQ(first.label, "Nouveau");
    EXPECT_EQ(first.dateFormat, "dd/MM/yyyy");
    EXPECT_FALSE(first.globalShortcut);
    EXPECT_EQ(c.addShortcut().trigger, "new2 ");
    EXPECT_EQ(c.addShortcut().trigger, "new3 ");
    c.deleteShortcut(first.id);
    EXPECT_EQ(c.addShortcut().trigger, "new ");
    EXPECT_EQ(c.addShortcut().trigger, "new4 ");
    EXPECT_EQ(c.defaultFormatId(), defaultBefore);
    EXPECT_EQ(store.writeCount, 6);
}

TEST_F(Catalogue, DeletingTheDefaultMovesItToTheFirstRemainingAndSaves) {
    c.loadShortcuts();
    const Uuid court = c.shortcuts()[0].id;
    const Uuid longId = c.shortcuts()[1].id;
    c.deleteShortcut(court);
    EXPECT_EQ(labels(c), (std::vector<std::string>{"Long", "ISO"}));
    EXPECT_EQ(c.defaultFormatId(), longId);
    EXPECT_EQ(store.string(prefkey::kDefaultFormatId), longId.toString());
    // Deleting a non-default entry leaves the default alone.
    c.deleteShortcut(c.shortcuts()[1].id);
    EXPECT_EQ(c.defaultFormatId(), longId);
    // Deleting the last one leaves the id as it was.
    c.deleteShortcut(longId);
    EXPECT_TRUE(c.shortcuts().empty());
    EXPECT_EQ(c.defaultFormatId(), longId);
    EXPECT_EQ(store.string(prefkey::kShortcuts), "[]");
}

TEST_F(Catalogue, ConflictQueriesExcludeTheEditedEntry) {
    auto& list = c.mutableShortcuts();
    list[0].trigger = "";
    list[1].trigger = "";
    EXPECT_FALSE(c.isTriggerTaken("", list[2].id));
    EXPECT_FALSE(c.isTriggerTaken("dt ", list[2].id));
    EXPECT_TRUE(c.isTriggerTaken("dt ", list[0].id));
    EXPECT_FALSE(c.isTriggerTaken("DT ", list[0].id));
    EXPECT_FALSE(c.isTriggerTaken("dt", list[0].id));

    const GlobalShortcut combo{2, 0x100000, "⌘D"};
    list[1].globalShortcut = combo;
    EXPECT_TRUE(c.isGlobalShortcutTaken(combo, list[0].id));
    EXPECT_FALSE(c.isGlobalShortcutTaken(combo, list[1].id));
    EXPECT_FALSE(c.isGlobalShortcutTaken(GlobalShortcut{2, 0x100000, "other"}, list[0].id));
    EXPECT_FALSE(c.isGlobalShortcutTaken(GlobalShortcut{2, 0x120000, "⌘D"}, list[0].id));
}

TEST_F(Catalogue, FailedSaveReportsFalse) {
    store.failWrites = true;
    EXPECT_FALSE(c.saveShortcuts());
    c.mutableShortcuts()[0].label = std::string("\xc3", 1);  // truncated UTF-8 cannot be encoded
    store.failWrites = false;
    EXPECT_FALSE(c.saveShortcuts());
    EXPECT_EQ(store.writeCount, 0);
}

// The same rules against a real file in a temporary XDG_CONFIG_HOME.
using CatalogueOnDisk = TempConfigHome;

// A damaged list, and one written as JSON rather than as its text (found by fuzzing: it was
// replaced without a copy), start on the built-ins; the first save keeps the file as it was.
TEST_F(CatalogueOnDisk, AnUnreadableListStartsOnBuiltInsAndIsCopiedAtFirstSave) {
    for (
        const std::string original :
        {R"({"Orvalin.shortcuts.v2":"[{\"id\":\"6F9619FF-8B86-D011-B42D-00C04FC964FF\",\"label\":\"Mine\"}]"})",
         R"({"Orvalin.shortcuts.v2":[{"label":"Mine"}],"Orvalin.appearance":"dark"})"}) {
        std::filesystem::remove_all(prefsDir());
        writePrefs(original);
        JsonFilePreferencesStore store(prefsFile());
        FormatCatalogue c(store);
        c.loadShortcuts();
        EXPECT_EQ(labels(c), (std::vector<std::string>{"Court", "Long", "ISO"})) << original;
        EXPECT_EQ(readFile(prefsFile()), original);
        ASSERT_TRUE(c.saveShortcuts());
        ASSERT_TRUE(store.flush());
        ASSERT_EQ(siblings().size(), 1u) << original;
        EXPECT_EQ(readFile(siblings()[0]), original);
        if (original.find("appearance") != std::string::npos) {
            EXPECT_EQ(store.string(prefkey::kAppearance), "dark");
        }
    }
}

}  // namespace
}  // namespace orvalin
