// Date rendering and format-list persistence.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "core/date_format.h"
#include "core/format_catalogue.h"
#include "core/json_file_preferences_store.h"

namespace {

using namespace orvalin;

void BM_FormatDate(benchmark::State& state, const char* pattern) {
    setenv("LANG", "fr_FR.UTF-8", 1);
    const auto now = std::chrono::system_clock::now();
    for (auto _ : state) benchmark::DoNotOptimize(formatDate(now, pattern));
}
BENCHMARK_CAPTURE(BM_FormatDate, court, "dd/MM/yyyy ");
BENCHMARK_CAPTURE(BM_FormatDate, long, "EEEE d MMMM yyyy ");
BENCHMARK_CAPTURE(BM_FormatDate, iso, "yyyy-MM-dd ");

std::filesystem::path benchFile() {
    static const std::filesystem::path dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvalin-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return std::filesystem::path(pattern);
    }();
    return dir / "preferences.json";
}

void fill(FormatCatalogue& c, std::size_t count) {
    while (c.shortcuts().size() < count) {
        c.mutableShortcuts().push_back(Shortcut{Uuid::generate(), "Format", "EEEE d MMMM yyyy",
                                                "trig" + std::to_string(c.shortcuts().size()),
                                                GlobalShortcut{2, 0x140000, "⌃⌘D"}});
    }
}

void BM_SaveShortcuts(benchmark::State& state) {
    std::filesystem::remove(benchFile());
    JsonFilePreferencesStore store(benchFile());
    FormatCatalogue c(store);
    fill(c, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        if (!c.saveShortcuts()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveShortcuts)->Arg(3)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_LoadShortcuts(benchmark::State& state) {
    std::filesystem::remove(benchFile());
    {
        JsonFilePreferencesStore store(benchFile());
        FormatCatalogue c(store);
        fill(c, static_cast<std::size_t>(state.range(0)));
        c.saveShortcuts();
    }
    for (auto _ : state) {
        // Reading the file and decoding the list: what a start-up does.
        JsonFilePreferencesStore store(benchFile());
        FormatCatalogue c(store);
        c.loadShortcuts();
        if (c.shortcuts().size() != static_cast<std::size_t>(state.range(0)))
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadShortcuts)->Arg(3)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
