// The Formats tab in the real program under Xvfb: a trigger, a key combination, a day and a
// language edited in the settings window work in another application at the next key press, and
// the list is in the preferences file when the program has ended. A list written by hand with a
// day and a language is inserted as it says.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "core/date_format.h"
#include "core/format_catalogue.h"
#include "core/json_file_preferences_store.h"
#include "e2e_desktop.h"
#include "support/scoped_env.h"

namespace orvalin::e2e {
namespace {

// The built-in formats, `first` first, so that its card is the first of the tab.
void writePreferences(const std::string& first = "ISO") {
    JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
    FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    auto& list = catalogue.mutableShortcuts();
    std::stable_partition(list.begin(), list.end(), [&](const Shortcut& s) { return s.label == first; });
    catalogue.setDefaultFormatId(list.front().id);
    ASSERT_TRUE(catalogue.saveShortcuts());
}

std::vector<Shortcut> storedFormats() {
    JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
    FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    return catalogue.shortcuts();
}

// Moves the keyboard focus `count` stops on with Tab.
void tab(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += " Tab";
    keys(list);
}

class FormatsEndToEnd : public FreshDesktop {
protected:
    // The program on formats led by `first`, `target_` typed into, the settings window on the
    // Formats tab. The window opens on "Général" with the keyboard on the tabs; Ctrl+Tab turns to
    // "Formats" and the focus stays on the tabs.
    void openTheFormatsTab(const std::string& first) {
        startServer();
        skipWelcome();
        writePreferences(first);
        startProgram();
        target_ = std::make_unique<Target>(home.path(), "formats.txt");
        ASSERT_TRUE(target_->started());
        ASSERT_TRUE(waitUntilListening(*target_)) << target_->text() << errors();
        ASSERT_TRUE(openSettingsFromThePanel().has_value()) << errors();
        keys("ctrl+Tab");
        std::this_thread::sleep_for(300ms);
    }

    std::unique_ptr<Target> target_;
};

TEST_F(FormatsEndToEnd, ATriggerAndACombinationEditedInTheFormatsTabWorkAtOnceAndAreSaved) {
    ASSERT_NO_FATAL_FAILURE(openTheFormatsTab("ISO"));
    Target& target = *target_;

    // The default format picker, then the ISO card: name, delete, pattern, presets, reference,
    // day, language, then the trigger field.
    tab(9);
    keys("ctrl+a z z space");
    ASSERT_TRUE(waitUntil([] { return storedFormats().front().trigger == "zz "; }, 10s))
        << readFile(JsonFilePreferencesStore::defaultPath());

    // Then its capture field: Space records, Control+Alt+K is the new combination.
    tab(1);
    keys("space");
    std::this_thread::sleep_for(300ms);
    keys("ctrl+alt+k");
    ASSERT_TRUE(waitUntil([] { return storedFormats().front().globalShortcut.has_value(); }, 10s))
        << readFile(JsonFilePreferencesStore::defaultPath());

    // The program hears keys again once it has seen its window lose the focus; until then what
    // is typed belongs to its own window. The first expansion shows it listens.
    EXPECT_TRUE(waitUntilListening(target, "z z space", 15s)) << "the new trigger: " << target.text();
    target.focusAndClear();
    keys("d t space");
    std::this_thread::sleep_for(800ms);
    EXPECT_EQ(target.text(), "dt ") << "the old trigger no longer fires";
    EXPECT_TRUE(waitUntilListening(target, "ctrl+alt+k", 15s))
        << "the recorded combination: " << target.text();

    stop(orvalin);
    const auto formats = storedFormats();
    ASSERT_FALSE(formats.empty());
    EXPECT_EQ(formats.front().label, "ISO");
    EXPECT_EQ(formats.front().trigger, "zz ");
    ASSERT_TRUE(formats.front().globalShortcut.has_value());
    EXPECT_EQ(formats.front().globalShortcut->keyCode, 40u);  // K
    EXPECT_EQ(formats.front().globalShortcut->modifiers, 0x0C0000u);
    EXPECT_EQ(formats.front().globalShortcut->display, "⌃⌥K");
}

// As a user (or another version) might write it: ids, labels and keys in any order.
TEST_F(FormatsEndToEnd, AListWithADayOffsetAndALanguageGivesTomorrowAndAnEnglishDate) {
    startServer();
    skipWelcome();
    {
        JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
        ASSERT_TRUE(store.write(
            {{prefkey::kShortcuts,
              std::string(R"([{"id":"0F8E4C2A-3B1D-4E5F-9A6B-7C8D9E0F1A2B","label":"ISO",)"
                          R"("dateFormat":"yyyy-MM-dd ","trigger":"dt "},)"
                          R"({"trigger":"dtm ","dateFormat":"yyyy-MM-dd","dayOffset":1,)"
                          R"("id":"A1B2C3D4-E5F6-4A7B-8C9D-0E1F2A3B4C5D","label":"Demain"},)"
                          R"({"trigger":"dte ","dateFormat":"EEEE d MMMM yyyy","locale":"en-US",)"
                          R"("id":"B1B2C3D4-E5F6-4A7B-8C9D-0E1F2A3B4C5D","label":"Anglais"}])")}}));
    }
    {
        // The program's session is French; the test's X tools keep a locale the machine has.
        ScopedEnv lang("LANG", "fr_FR.UTF-8");
        startProgram();
    }
    Target target(home.path(), "formats.txt");
    ASSERT_TRUE(target.started());
    ASSERT_TRUE(waitUntilListening(target)) << target.text() << errors();

    target.focusAndClear();
    keys("d t m space");
    EXPECT_TRUE(target.waitForText(today("%Y-%m-%d", 1))) << target.text();
    // The test's own C locale writes English names.
    target.focusAndClear();
    keys("d t e space");
    EXPECT_TRUE(target.waitForText(today("%A %-d %B %Y"))) << target.text() << " while LANG is French";
}

TEST_F(FormatsEndToEnd, TheDayAndTheLanguageChosenWithKeysInTheFormatsTabAreSavedAndInserted) {
    ASSERT_NO_FATAL_FAILURE(openTheFormatsTab("Long"));
    Target& target = *target_;
    // The default format picker, then the Long card: name, delete, pattern, presets, reference,
    // then the day: Down chooses "Demain".
    tab(7);
    keys("Down");
    ASSERT_TRUE(waitUntil([] { return storedFormats().front().dayOffset == 1; }, 10s))
        << readFile(JsonFilePreferencesStore::defaultPath());
    // Then the language: a part of its name, then the first language found.
    tab(1);
    keys("ctrl+a d e u t s c h l a n d");
    std::this_thread::sleep_for(500ms);
    keys("Down Return");
    ASSERT_TRUE(waitUntil([] { return storedFormats().front().locale == "de-DE"; }, 10s))
        << readFile(JsonFilePreferencesStore::defaultPath());

    EXPECT_TRUE(waitUntilListening(target, "d t space", 15s)) << target.text();
    target.focusAndClear();
    keys("d t l space");
    const auto tomorrow = addDays(std::chrono::system_clock::now(), 1);
    EXPECT_TRUE(target.waitForText(formatDate(tomorrow, "EEEE d MMMM yyyy ", "de_DE"))) << target.text();

    stop(orvalin);
    const auto formats = storedFormats();
    ASSERT_FALSE(formats.empty());
    EXPECT_EQ(formats.front().label, "Long");
    EXPECT_EQ(formats.front().dayOffset, 1);
    EXPECT_EQ(formats.front().locale, "de-DE");
}

}  // namespace
}  // namespace orvalin::e2e
