// The Formats tab's figures, printed as plain text:
// - a keystroke: 20 formats, 200 characters typed into one pattern field, each saving the list
//   to a real preferences file; time from the key event to the widgets painted and the save
//   handed to the file's writer thread, median and worst (the file itself is checked at the end);
// - opening the tab with 100 formats (built, shown and painted), median and worst;
// - one scroll step through the 100-format page, painted.
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise. The file goes to a
// fresh folder under $TMPDIR (or the folder given as the first argument).
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/json_file_preferences_store.h"
#include "core/shortcut_json.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "support/memory_preferences_store.h"
#include "ui/settings/formats/format_card.h"
#include "ui/settings/formats/format_picker_field.h"
#include "ui/settings/formats/formats_tab.h"

using namespace orvalin;
using Stopwatch = std::chrono::steady_clock;

namespace {

std::vector<Shortcut> formats(int count) {
    std::vector<Shortcut> list;
    for (int i = 0; i < count; ++i) {
        // Appended rather than concatenated: GCC 12 at -O3 warns falsely about "f" + text + " ".
        std::string trigger = "f";
        trigger += std::to_string(i);
        trigger += ' ';
        list.push_back(Shortcut{Uuid::generate(), "Format " + std::to_string(i), "EEEE d MMMM yyyy",
                                std::move(trigger), std::nullopt});
    }
    return list;
}

double ms(Stopwatch::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    std::printf("%-44s n=%3zu  median %7.3f ms  worst %7.3f ms\n", what, samples.size(), median,
                samples.back());
}

std::vector<double> typePattern(PreferencesStore& store, int characters) {
    fakes::FakePlatform platform;
    TextExpansionManager manager(store, platform.engine);
    manager.setShortcuts(formats(20));
    manager.saveShortcuts();
    ui::FormatsTab tab(manager);
    tab.resize(520, 560);
    tab.show();
    if (!QTest::qWaitForWindowExposed(&tab)) std::fprintf(stderr, "the tab was not shown\n");
    QLineEdit* field =
        tab.cards()[10]->findChild<ui::FormatPickerField*>(QStringLiteral("patternField"))->lineEdit();
    tab.ensureWidgetVisible(field);
    field->setFocus();
    QApplication::processEvents();

    const std::string letters = "yMd '-/.,EHhmsa";
    std::vector<double> samples;
    for (int i = 0; i < characters; ++i) {
        const char c = letters[static_cast<std::size_t>(i) % letters.size()];
        const auto start = Stopwatch::now();
        QTest::keyClick(field, c);
        QApplication::processEvents();  // the repaint of what changed
        samples.push_back(ms(Stopwatch::now() - start));
    }
    if (manager.shortcuts()[10].dateFormat.size() != 16 + static_cast<std::size_t>(characters))
        std::fprintf(stderr, "the typed characters did not all reach the format\n");
    // The file is written behind the keystrokes: once flushed it holds the last of them.
    if (!store.flush() || store.string(prefkey::kShortcuts) != encodeShortcuts(manager.shortcuts()))
        std::fprintf(stderr, "the last keystroke did not reach the store\n");
    return samples;
}

std::vector<double> openTab(int count, int runs) {
    MemoryPreferencesStore store;
    fakes::FakePlatform platform;
    TextExpansionManager manager(store, platform.engine);
    manager.setShortcuts(formats(count));
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        const auto start = Stopwatch::now();
        {
            ui::FormatsTab tab(manager);
            tab.resize(520, 560);
            tab.show();
            QApplication::processEvents();
            tab.repaint();
            samples.push_back(ms(Stopwatch::now() - start));
        }
        QApplication::processEvents();
    }
    return samples;
}

// The file write alone, for comparison: the same list written again and again, each write
// waiting for the file to be replaced and synced.
std::vector<double> saveOnly(const std::filesystem::path& file, int times) {
    JsonFilePreferencesStore store(file);
    const std::string list = encodeShortcuts(formats(20)).value_or(std::string());
    std::vector<double> samples;
    for (int i = 0; i < times; ++i) {
        const auto start = Stopwatch::now();
        store.write({{prefkey::kShortcuts, list}});
        samples.push_back(ms(Stopwatch::now() - start));
    }
    return samples;
}

// "Ajouter un format" on a page of `count` formats: the new card made, placed, focused, painted.
std::vector<double> addFormats(int count, int times) {
    MemoryPreferencesStore store;
    fakes::FakePlatform platform;
    TextExpansionManager manager(store, platform.engine);
    manager.setShortcuts(formats(count));
    ui::FormatsTab tab(manager);
    tab.resize(520, 560);
    tab.show();
    if (!QTest::qWaitForWindowExposed(&tab)) std::fprintf(stderr, "the tab was not shown\n");
    QApplication::processEvents();
    std::vector<double> samples;
    for (int i = 0; i < times; ++i) {
        const auto start = Stopwatch::now();
        tab.findChild<QAbstractButton*>(QStringLiteral("addFormat"))->click();
        QApplication::processEvents();
        samples.push_back(ms(Stopwatch::now() - start));
    }
    return samples;
}

// Scrolling the 100-format page from top to bottom, 120 pixels a step (a wheel notch), each step
// painted.
std::vector<double> scrollThrough(int count) {
    MemoryPreferencesStore store;
    fakes::FakePlatform platform;
    TextExpansionManager manager(store, platform.engine);
    manager.setShortcuts(formats(count));
    ui::FormatsTab tab(manager);
    tab.resize(520, 560);
    tab.show();
    if (!QTest::qWaitForWindowExposed(&tab)) std::fprintf(stderr, "the tab was not shown\n");
    QApplication::processEvents();
    QScrollBar* bar = tab.verticalScrollBar();
    std::vector<double> samples;
    for (int value = 0; value < bar->maximum(); value += 120) {
        const auto start = Stopwatch::now();
        bar->setValue(value + 120);
        tab.viewport()->repaint();
        samples.push_back(ms(Stopwatch::now() - start));
    }
    return samples;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::filesystem::path dir =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
    std::string pattern = (dir / "orvalin-formats-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    std::printf("preferences file in %s\n", folder.c_str());

    JsonFilePreferencesStore file(folder / "preferences.json");
    report("keystroke in a pattern field, 20 formats", typePattern(file, 200));
    report("  a synced file write, for comparison", saveOnly(folder / "alone.json", 200));
    MemoryPreferencesStore memory;
    report("  the same, stored in memory (no file write)", typePattern(memory, 200));
    report("open the tab with 100 formats", openTab(100, 10));
    report("open the tab with 20 formats", openTab(20, 10));
    report("add a format to 100 formats", addFormats(100, 10));
    report("scroll step (120 px, painted), 100 formats", scrollThrough(100));

    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}
