// Cost of one ordinary key press in the key handler, and the heap allocations it makes.
//
//   engine_bench --benchmark_filter=KeyPress
//
// The "allocs/key" counter is the number of heap allocations per key press once the handler is
// warm (operator new and ICU's own allocator both counted); it must be 0.

#include <benchmark/benchmark.h>
#include <unicode/uclean.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "engine/text_expansion_manager.h"
#include "support/memory_preferences_store.h"

// GCC sees the malloc behind the replaced operator new and the free behind operator delete, and
// takes the pair for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<std::uint64_t> gAllocations{0};

}  // namespace

// Every allocation of the process goes through these, so the benchmark can count them.
void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace orvalin;

void* countedIcuAlloc(const void*, size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size);
}
void* countedIcuRealloc(const void*, void* p, size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::realloc(p, size);
}
void icuFree(const void*, void* p) {
    std::free(p);
}

// A desktop that does nothing: the benchmark measures the handler alone.
struct NullPlatform {
    struct Monitor : KeyMonitor {
        bool start(Handler) override { return true; }
        void stop() override {}
    } monitor;
    struct Keys : KeySynthesizer {
        bool postBackspace() override { return true; }
        bool postCommandV() override { return true; }
    } keys;
    struct Board : Pasteboard {
        PasteboardSnapshot snapshot() override { return {}; }
        void setText(std::string_view) override {}
        void restore(const PasteboardSnapshot&) override {}
    } pasteboard;
    struct Sched : Scheduler {
        TimerId next = 1;
        TimerId scheduleOnce(Duration, std::function<void()>) override { return next++; }
        TimerId scheduleRepeating(Duration, std::function<void()>) override { return next++; }
        void cancel(TimerId) override {}
    } scheduler;
    struct Trust : TrustQuery {
        bool isTrusted() override { return true; }
    } trust;
    struct Login : LoginItemService {
        std::optional<std::string> registerItem() override { return std::nullopt; }
        std::optional<std::string> unregisterItem() override { return std::nullopt; }
        Status status() override { return Status::NotRegistered; }
    } login;
    struct Opener : UrlOpener {
        bool open(const std::string&) override { return true; }
    } opener;
    struct Apps : ActiveApplicationSource {
        void start(std::function<void()>) override {}
        void stop() override {}
    } apps;
    SystemClock clock;
    std::ostringstream out;
    EnginePlatform engine{monitor, &keys, &pasteboard, scheduler, clock,   trust, login,
                          opener,  apps,  out,         "",        nullptr, {}};
};

// The built-in list, plus `extra` formats with distinct triggers and a few combinations.
std::vector<Shortcut> formats(int extra) {
    std::vector<Shortcut> list = FormatCatalogue::builtInShortcuts();
    for (int i = 0; i < extra; ++i) {
        std::optional<GlobalShortcut> combination;
        if (i % 10 == 0)
            combination = GlobalShortcut{static_cast<std::uint32_t>(i % 50), modifier::kSuper, "x"};
        if (i == 1) combination = GlobalShortcut{96, 0, "F5"};  // an unmodified combination too
        std::string number = std::to_string(i);
        std::string trigger = ";f";
        trigger += number;
        trigger += "e ";
        list.push_back(Shortcut{Uuid::generate(), number, "yyyy", trigger, combination});
    }
    return list;
}

void keyPresses(benchmark::State& state, int extra, std::string_view text) {
    std::uint64_t atStart = gAllocations.load(std::memory_order_relaxed);
    NullPlatform platform;
    MemoryPreferencesStore store;
    TextExpansionManager manager(store, platform.engine);
    manager.setShortcuts(formats(extra));

    // One event per code point of `text`, none of which completes a trigger.
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
        pieces.emplace_back(text.substr(i, n));
        i += n;
    }
    std::vector<KeyEvent> events;
    for (const auto& p : pieces) events.push_back(KeyEvent{0x8000 + 200, 0, p});

    for (int warm = 0; warm < 200; ++warm) manager.handleKeyDown(events[warm % events.size()]);

    // Shows the counter is live: setting up allocates plenty.
    state.counters["setup allocs"] =
        benchmark::Counter(static_cast<double>(gAllocations.load(std::memory_order_relaxed) - atStart));

    std::size_t i = 0;
    std::uint64_t before = gAllocations.load(std::memory_order_relaxed);
    for (auto _ : state) {
        manager.handleKeyDown(events[i]);
        if (++i == events.size()) i = 0;
    }
    std::uint64_t allocations = gAllocations.load(std::memory_order_relaxed) - before;
    state.counters["allocs/key"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
    if (manager.isInsertionUnderWay()) state.SkipWithError("a trigger fired; the text is not ordinary");
}

const std::string kPlain = "the quick brown fox jumps over the lazy cat and then sleeps ";
const std::string kFrench =
    "\xC3\xA0 la f\xC3\xAA"
    "te de l'\xC3\xA9t\xC3\xA9, o\xC3\xB9 va-t-il ? ";

void BM_KeyPress_BuiltIns(benchmark::State& s) {
    keyPresses(s, 0, kPlain);
}
void BM_KeyPress_100Formats(benchmark::State& s) {
    keyPresses(s, 97, kPlain);
}
void BM_KeyPress_BuiltIns_AccentedText(benchmark::State& s) {
    keyPresses(s, 0, kFrench);
}

BENCHMARK(BM_KeyPress_BuiltIns)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyPress_100Formats)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyPress_BuiltIns_AccentedText)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    // ICU allocates through malloc, not operator new; route it through the counter too. This has
    // to happen before ICU's first allocation.
    UErrorCode status = U_ZERO_ERROR;
    u_setMemoryFunctions(nullptr, countedIcuAlloc, countedIcuRealloc, icuFree, &status);
    if (U_FAILURE(status)) return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
