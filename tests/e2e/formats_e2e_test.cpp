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

// ISO first, so its card is the first of the tab; the welcome window is done with.
void writePreferences() {
    JsonFilePreferencesStore store(JsonFilePreferencesStore::defaultPath());
    FormatCatalogue catalogue(store);
    catalogue.loadShortcuts();
    auto& list = catalogue.mutableShortcuts();
    std::stable_partition(list.begin(), list.end(), [](const Shortcut& s) { return s.label == "ISO"; });
    catalogue.setDefaultFormatId(list.front().id);
    ASSERT_TRUE(catalogue.saveShortcuts());
    ASSERT_TRUE(store.write({{prefkey::kOnboardingCompleted, true}}));
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
    writePreferences();
    startProgram();
    Target target(home.path(), "formats.txt");
    ASSERT_TRUE(target.started());
    const std::string iso = today("%Y-%m-%d ");
    ASSERT_TRUE(waitUntil(
        [&] {
            target.focusAndClear();
            keys("d t space");
            return target.waitForText(iso, 1500ms);
        },
        40s))
        << target.text() << errors();

    // The panel of a second start, then Ctrl+comma: the settings window.
    ASSERT_TRUE(startASecondTime());
    ASSERT_TRUE(waitForPanel().has_value());
    keys("ctrl+comma");
    std::string settings;
    ASSERT_TRUE(
        waitUntil([&] { return !(settings = findVisibleWindow("^Préférences Orvalin$")).empty(); }, 15s))
        << errors();
    auto frame = windowGeometry(settings);
    ASSERT_TRUE(frame.has_value());
    // A click on the window's top edge gives it the keyboard without moving the focus.
    clickAt(frame->x + frame->width - 30, frame->y + 8);
    run("xdotool windowfocus --sync " + settings + " >/dev/null 2>&1");
    std::this_thread::sleep_for(500ms);
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
    auto typedGivesDate = [&](const char* list) {
        return waitUntil(
            [&] {
                target.focusAndClear();
                keys(list);
                return target.waitForText(iso, 1500ms);
            },
            15s);
    };
    EXPECT_TRUE(typedGivesDate("z z space")) << "the new trigger: " << target.text();
    target.focusAndClear();
    keys("d t space");
    std::this_thread::sleep_for(800ms);
    EXPECT_EQ(target.text(), "dt ") << "the old trigger no longer fires";
    EXPECT_TRUE(typedGivesDate("ctrl+alt+k")) << "the recorded combination: " << target.text();

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
