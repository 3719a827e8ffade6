#include "support/fake_platform.h"

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <utility>

#include "core/date_format.h"

namespace orvalin::fakes {

std::ostream& operator<<(std::ostream& os, const TimelineEntry& e) {
    return os << "{" << e.at.count() << " ms, " << std::quoted(e.call) << ", clipboard "
              << std::quoted(e.clipboard) << "}";
}

// ---- Timeline

void Timeline::record(std::string call) {
    entries_.push_back(TimelineEntry{clock != nullptr ? clock->now() : Duration{0}, std::move(call),
                                     clipboard != nullptr ? clipboard->describe() : std::string()});
}

std::vector<TimelineEntry> Timeline::only(std::initializer_list<std::string_view> prefixes) const {
    std::vector<TimelineEntry> kept;
    for (const auto& e : entries_) {
        for (std::string_view p : prefixes) {
            if (std::string_view(e.call).substr(0, p.size()) == p) {
                kept.push_back(e);
                break;
            }
        }
    }
    return kept;
}

// ---- FakeScheduler

Scheduler::TimerId FakeScheduler::add(Duration delay, Duration interval, std::function<void()> run) {
    TimerId id = nextId_++;
    tasks_.emplace(id, Task{now_ + std::max(delay, Duration{0}), nextOrder_++, interval, std::move(run)});
    return id;
}

Scheduler::TimerId FakeScheduler::scheduleOnce(Duration delay, std::function<void()> task) {
    return add(delay, Duration{0}, std::move(task));
}

Scheduler::TimerId FakeScheduler::scheduleRepeating(Duration interval, std::function<void()> tick) {
    // A zero interval would spin for ever on the virtual clock.
    Duration step = std::max(interval, Duration{1});
    return add(step, step, std::move(tick));
}

void FakeScheduler::cancel(TimerId id) {
    tasks_.erase(id);
}

void FakeScheduler::advance(Duration by) {
    const Duration when = now_ + by;
    for (;;) {
        auto next = tasks_.end();
        for (auto it = tasks_.begin(); it != tasks_.end(); ++it) {
            if (it->second.due > when) continue;
            if (next == tasks_.end() || it->second.due < next->second.due ||
                (it->second.due == next->second.due && it->second.order < next->second.order)) {
                next = it;
            }
        }
        if (next == tasks_.end()) break;
        now_ = next->second.due;
        std::function<void()> run = next->second.run;  // the task may cancel itself while running
        if (next->second.interval.count() == 0) {
            tasks_.erase(next);
        } else {
            next->second.due += next->second.interval;
            next->second.order = nextOrder_++;
        }
        run();
    }
    now_ = std::max(now_, when);
}

std::size_t FakeScheduler::pendingOnce() const {
    return static_cast<std::size_t>(std::count_if(
        tasks_.begin(), tasks_.end(), [](const auto& t) { return t.second.interval.count() == 0; }));
}

std::size_t FakeScheduler::runningRepeating() const {
    return tasks_.size() - pendingOnce();
}

std::vector<Duration> FakeScheduler::repeatingIntervals() const {
    std::vector<Duration> intervals;
    for (const auto& [id, task] : tasks_) {
        if (task.interval.count() != 0) intervals.push_back(task.interval);
    }
    std::sort(intervals.begin(), intervals.end());
    return intervals;
}

// ---- FakeClock

std::string FakeClock::date(const std::string& pattern, int days, const std::string& locale) const {
    const Instant day = addDays(now(), days);
    return locale.empty() ? formatDate(day, pattern) : formatDate(day, pattern, locale);
}

// ---- FakePasteboard

PasteboardSnapshot textContent(std::string text) {
    return PasteboardSnapshot{{{FakePasteboard::kTextType, std::move(text)}}};
}

PasteboardSnapshot FakePasteboard::snapshot() {
    ++snapshots;
    if (timeline != nullptr) timeline->record(ownerSilent ? "snapshot unreadable" : "snapshot");
    if (ownerSilent) return PasteboardSnapshot{{}, true};
    return content;
}

void FakePasteboard::snapshotWhenReady(std::function<void(PasteboardSnapshot)> ready) {
    if (!answersLater) {
        ready(snapshot());
        return;
    }
    waiting_ = std::move(ready);
    if (timeline != nullptr) timeline->record("snapshot asked");
}

void FakePasteboard::cancelSnapshot() {
    if (waiting_ && timeline != nullptr) timeline->record("snapshot cancelled");
    waiting_ = nullptr;
}

void FakePasteboard::answer() {
    if (auto ready = std::exchange(waiting_, nullptr)) ready(snapshot());
}

void FakePasteboard::setText(std::string_view text) {
    ++texts;
    content = textContent(std::string(text));
    if (timeline != nullptr) timeline->record("setText");
}

void FakePasteboard::restore(const PasteboardSnapshot& saved) {
    ++restores;
    // One item carrying every type; a repeated type keeps its last data.
    PasteboardSnapshot merged;
    for (const auto& pair : saved.items) {
        auto it = std::find_if(merged.items.begin(), merged.items.end(),
                               [&](const auto& kept) { return kept.first == pair.first; });
        if (it != merged.items.end()) {
            it->second = pair.second;
        } else {
            merged.items.push_back(pair);
        }
    }
    content = std::move(merged);
    if (timeline != nullptr) timeline->record("restore");
}

void FakePasteboard::userCopies(PasteboardSnapshot copied) {
    content = std::move(copied);
    if (timeline != nullptr) timeline->record("user copy");
}

void FakePasteboard::prepare() {
    ++prepares;
    if (timeline != nullptr) timeline->record("prepare");
}

std::string FakePasteboard::describe() const {
    if (content.items.empty()) return "<empty>";
    if (content.items.size() == 1 && content.items[0].first == kTextType) return content.items[0].second;
    std::string text;
    for (const auto& [type, data] : content.items) {
        if (!text.empty()) text += " | ";
        text += type + "=" + data;
    }
    return text;
}

// ---- FakeKeySynthesizer

// Recorded as "key <code>[ flags <hex>]", or "impossible" for a key the layout lacks.
bool FakeKeySynthesizer::post(Press press, bool possible) {
    std::ostringstream call;
    call << "key " << press.keyCode;
    if (!possible) call << " impossible";
    if (possible && press.flags != 0) call << " flags 0x" << std::hex << press.flags;
    if (timeline != nullptr) timeline->record(call.str());
    if (possible) presses.push_back(press);
    return possible;
}

bool FakeKeySynthesizer::postBackspace() {
    return post({51, 0}, typesBackspace);
}

bool FakeKeySynthesizer::postCommandV() {
    return post({9, 0x100000}, typesV);
}

// ---- FakeKeyMonitor

bool FakeKeyMonitor::start(Handler handler) {
    ++starts;
    if (timeline != nullptr) timeline->record("monitor start");
    if (failStart) return false;
    handler_ = std::move(handler);
    return true;
}

void FakeKeyMonitor::stop() {
    ++stops;
    handler_ = nullptr;
    if (timeline != nullptr) timeline->record("monitor stop");
}

bool FakeKeyMonitor::press(std::uint16_t keyCode, std::uint32_t modifiers, std::string characters) {
    if (!handler_) return false;
    Handler handler = handler_;  // the handler may stop the monitor
    handler(KeyEvent{keyCode, modifiers, characters});
    if (scheduler != nullptr && !inOneRead_) scheduler->advance({});
    return true;
}

namespace {

std::uint16_t keyCodeFor(std::string_view ch) {
    static const std::map<char, std::uint16_t> table = {
        {'a', 0},  {'s', 1},  {'d', 2},  {'f', 3},  {'h', 4},  {'g', 5},   {'z', 6},  {'x', 7},
        {'c', 8},  {'v', 9},  {'b', 11}, {'q', 12}, {'w', 13}, {'e', 14},  {'r', 15}, {'y', 16},
        {'t', 17}, {'1', 18}, {'2', 19}, {'3', 20}, {'4', 21}, {'6', 22},  {'5', 23}, {'9', 25},
        {'7', 26}, {'8', 28}, {'0', 29}, {'o', 31}, {'u', 32}, {'i', 34},  {'p', 35}, {'\r', 36},
        {'l', 37}, {'j', 38}, {'k', 40}, {'n', 45}, {'m', 46}, {'\t', 48}, {' ', 49}};
    if (ch.size() == 1) {
        auto it = table.find(ch[0]);
        if (it != table.end()) return it->second;
    }
    return 0x8000 + 250;  // a key outside the table
}

}  // namespace

void FakeKeyMonitor::type(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::string_view ch = text.substr(i, n);
        press(keyCodeFor(ch), 0, std::string(ch));
        i += n;
    }
}

void FakeKeyMonitor::oneRead(const std::function<void()>& keys) {
    inOneRead_ = true;
    keys();
    inOneRead_ = false;
    if (scheduler != nullptr) scheduler->advance({});
}

// ---- FakeLoginItems, FakeUrlOpener, FakeActiveApplications

std::optional<std::string> FakeLoginItems::registerItem() {
    if (timeline != nullptr) timeline->record("login register");
    if (registerError) return registerError;
    current = registeredProgramMissing ? Status::NotFound : Status::Enabled;
    return std::nullopt;
}

std::optional<std::string> FakeLoginItems::unregisterItem() {
    if (timeline != nullptr) timeline->record("login unregister");
    if (unregisterError) return unregisterError;
    current = Status::NotRegistered;
    return std::nullopt;
}

bool FakeUrlOpener::open(const std::string& url) {
    opened.push_back(url);
    if (timeline != nullptr) timeline->record("open " + url);
    return true;
}

void FakeActiveApplications::start(std::function<void()> onSwitch) {
    ++starts;
    onSwitch_ = std::move(onSwitch);
    if (timeline != nullptr) timeline->record("app switch start");
}

void FakeActiveApplications::stop() {
    ++stops;
    onSwitch_ = nullptr;
    if (timeline != nullptr) timeline->record("app switch stop");
}

void FakeActiveApplications::switchApplication() {
    if (onSwitch_) {
        auto callback = onSwitch_;
        callback();
    }
}

// ---- FakePlatform

FakePlatform::FakePlatform()
    : engine{monitor,  &keys,      &pasteboard, scheduler,          clock,
             trust,    loginItems, urlOpener,   activeApplications, out,
             kHelpUrl, nullptr,    {}} {
    timeline.clock = &scheduler;
    timeline.clipboard = &pasteboard;
    pasteboard.timeline = &timeline;
    keys.timeline = &timeline;
    monitor.timeline = &timeline;
    monitor.scheduler = &scheduler;
    loginItems.timeline = &timeline;
    urlOpener.timeline = &timeline;
    activeApplications.timeline = &timeline;
    inserter.timeline = &timeline;
}

bool FakeTextInserter::insertText(std::size_t erase, std::string_view text) {
    if (timeline != nullptr) timeline->record("insert " + std::to_string(erase) + " " + std::string(text));
    return accepts;
}

}  // namespace orvalin::fakes
