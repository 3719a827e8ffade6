// The Formats tab in the real program under Xvfb: a trigger and a key combination edited in the
// settings window work in another application at the next key press, and the list is in the
// preferences file when the program has ended.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "core/format_catalogue.h"
#include "core/preferences_store.h"
#include "e2e_desktop.h"

namespace orvalin::e2e {
namespace {

// ISO first, so its card is the first of the tab.
void writePreferences() {
    JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
    FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    auto& list = catalogue.mutableShortcuts();
    std::stable_partition(list.begin(), list.end(), [](const Shortcut& s) { return s.label == "ISO"; });
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

using FormatsEndToEnd = FreshDesktop;

TEST_F(FormatsEndToEnd, ATriggerAndACombinationEditedInTheFormatsTabWorkAtOnceAndAreSaved) {
    startServer();
    skipWelcome();
    writePreferences();
    startProgram();
    Target target(home.path(), "formats.txt");
    ASSERT_TRUE(target.started());
    ASSERT_TRUE(waitUntilListening(target)) << target.text() << errors();

    ASSERT_TRUE(openSettingsFromThePanel().has_value()) << errors();
    // The window opens on "Général" with the keyboard on the tabs; Ctrl+Tab turns to "Formats"
    // and the focus stays on the tabs.
    keys("ctrl+Tab");
    std::this_thread::sleep_for(300ms);

    // The default format picker, then the ISO card: name, delete, pattern, presets, reference,
    // then the trigger field.
    tab(7);
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

}  // namespace
}  // namespace orvalin::e2e
