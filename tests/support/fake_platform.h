#pragma once

// Fake realisations of the engine's platform interfaces, for tests without a desktop. They share a
// Timeline that records every call with the virtual time and what the clipboard held right after
// the call, so a test can assert a whole insertion sequence at once.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/platform.h"

namespace orvalin::fakes {

using Duration = Scheduler::Duration;
using namespace std::chrono_literals;

struct TimelineEntry {
    Duration at{0};
    std::string call;
    std::string clipboard;  // FakePasteboard::describe() after the call

    friend bool operator==(const TimelineEntry&, const TimelineEntry&) = default;
    friend std::ostream& operator<<(std::ostream& os, const TimelineEntry& e);
};

class FakeScheduler;
class FakePasteboard;

class Timeline {
public:
    void record(std::string call);
    const std::vector<TimelineEntry>& entries() const { return entries_; }
    // Only the entries whose call starts with one of `prefixes`.
    std::vector<TimelineEntry> only(std::initializer_list<std::string_view> prefixes) const;
    void clear() { entries_.clear(); }

    const FakeScheduler* clock = nullptr;
    const FakePasteboard* clipboard = nullptr;

private:
    std::vector<TimelineEntry> entries_;
};

// A virtual clock: nothing runs until the test advances time; due tasks then run in time order
// (equal times in the order they were scheduled), each at its own due time.
class FakeScheduler : public Scheduler {
public:
    TimerId scheduleOnce(Duration delay, std::function<void()> task) override;
    TimerId scheduleRepeating(Duration interval, std::function<void()> tick) override;
    void cancel(TimerId id) override;

    Duration now() const { return now_; }
    void advance(Duration by);
    // Single-shot tasks still waiting, and repeating timers still running.
    std::size_t pendingOnce() const;
    std::size_t runningRepeating() const;
    std::vector<Duration> repeatingIntervals() const;
    bool isActive(TimerId id) const { return tasks_.count(id) != 0; }

private:
    struct Task {
        Duration due;
        std::uint64_t order;
        Duration interval;  // zero for single-shot
        std::function<void()> run;
    };
    TimerId add(Duration delay, Duration interval, std::function<void()> run);

    Duration now_{0};
    TimerId nextId_ = 1;
    std::uint64_t nextOrder_ = 0;
    std::map<TimerId, Task> tasks_;
};

// The date on the scheduler's virtual time: a fixed moment when the test starts, moved on as the
// test advances time, so that no test depends on the day it runs.
class FakeClock : public Clock {
public:
    // Tuesday 10 February 2026, noon in Paris.
    static constexpr Instant kStart = std::chrono::sys_days{std::chrono::February / 10 / 2026} + 11h;

    explicit FakeClock(const FakeScheduler& scheduler) : scheduler_(scheduler) {}
    Instant now() const override { return kStart + offset_ + scheduler_.now(); }
    // From now on the clock reads `at`, and runs on from there with the scheduler.
    void set(Instant at) { offset_ = at - kStart - scheduler_.now(); }
    // The date `days` days from now in a pattern and a locale (the user's when empty): what a
    // format inserts now.
    std::string date(const std::string& pattern, int days = 0, const std::string& locale = {}) const;

private:
    const FakeScheduler& scheduler_;
    Instant::duration offset_{0};
};

class FakePasteboard : public Pasteboard {
public:
    static constexpr const char* kTextType = "text/plain;charset=utf-8";

    PasteboardSnapshot snapshot() override;
    void setText(std::string_view text) override;
    void restore(const PasteboardSnapshot& saved) override;
    void prepare() override;
    void snapshotWhenReady(std::function<void(PasteboardSnapshot)> ready) override;
    void cancelSnapshot() override;

    // With `answersLater`, a snapshot asked for waits until answer() hands it over.
    bool answersLater = false;
    void answer();

    // What the user copied by themselves (recorded as "user copy").
    void userCopies(PasteboardSnapshot content);
    // "<empty>", the text alone for one plain-text pair, else "type=data" pairs joined by " | ".
    std::string describe() const;

    PasteboardSnapshot content;
    // Plays an owner that does not answer: snapshots come back unreadable.
    bool ownerSilent = false;
    Timeline* timeline = nullptr;
    int snapshots = 0, texts = 0, restores = 0, prepares = 0;

private:
    std::function<void(PasteboardSnapshot)> waiting_;
};

class FakeKeySynthesizer : public KeySynthesizer {
public:
    struct Press {
        std::uint16_t keyCode;
        std::uint32_t flags;
        friend bool operator==(const Press&, const Press&) = default;
    };
    bool postBackspace() override;
    bool postCommandV() override;

    // False plays a keyboard layout without that key.
    bool typesBackspace = true;
    bool typesV = true;
    std::vector<Press> presses;
    Timeline* timeline = nullptr;

private:
    bool post(Press press, bool possible);
};

class FakeKeyMonitor : public KeyMonitor {
public:
    bool start(Handler handler) override;
    void stop() override;

    // Delivers one key press if a handler is installed; false when it was not delivered.
    bool press(std::uint16_t keyCode, std::uint32_t modifiers = 0, std::string characters = {});
    // Types each code point of UTF-8 `text` as its own key press without modifiers (letters and
    // space with their key codes, anything else with a code outside the table).
    void type(std::string_view text);
    // Keys pressed inside `keys` come in one read, as to a program slow to wake up: work the
    // engine defers to the end of a read sees them all.
    void oneRead(const std::function<void()>& keys);

    // Each read ends by running what is due now on this clock, as the event loop would.
    FakeScheduler* scheduler = nullptr;
    bool failStart = false;
    int starts = 0, stops = 0;
    Timeline* timeline = nullptr;

private:
    Handler handler_;
    bool inOneRead_ = false;
};

class FakeTrustQuery : public TrustQuery {
public:
    bool isTrusted() override {
        ++queries;
        return trusted;
    }
    bool trusted = false;
    int queries = 0;
};

class FakeLoginItems : public LoginItemService {
public:
    std::optional<std::string> registerItem() override;
    std::optional<std::string> unregisterItem() override;
    Status status() override { return current; }

    Status current = Status::NotRegistered;
    std::optional<std::string> registerError, unregisterError;
    bool registeredProgramMissing = false;  // the entry is written but names no program
    Timeline* timeline = nullptr;
};

class FakeUrlOpener : public UrlOpener {
public:
    bool open(const std::string& url) override;
    std::vector<std::string> opened;
    Timeline* timeline = nullptr;
};

class FakeActiveApplications : public ActiveApplicationSource {
public:
    void start(std::function<void()> onSwitch) override;
    void stop() override;
    // Another application becomes active.
    void switchApplication();

    bool running() const { return static_cast<bool>(onSwitch_); }
    int starts = 0, stops = 0;
    Timeline* timeline = nullptr;

private:
    std::function<void()> onSwitch_;
};

// A desktop that takes text directly; recorded as "insert <erase> <text>".
class FakeTextInserter : public TextInserter {
public:
    bool insertText(std::size_t erase, std::string_view text) override;
    bool accepts = true;  // false plays a focused application that cannot be reached
    Timeline* timeline = nullptr;
};

// Every fake wired to one timeline, and the EnginePlatform naming them.
struct FakePlatform {
    static constexpr const char* kHelpUrl = "https://orvalin.invalid/help#permission";

    FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    Timeline timeline;
    FakeScheduler scheduler;
    FakeClock clock{scheduler};
    FakePasteboard pasteboard;
    FakeKeySynthesizer keys;
    FakeKeyMonitor monitor;
    FakeTrustQuery trust;
    FakeLoginItems loginItems;
    FakeUrlOpener urlOpener;
    FakeActiveApplications activeApplications;
    FakeTextInserter inserter;  // used once engine.textInserter names it
    std::ostringstream out;
    EnginePlatform engine;
};

// A plain-text clipboard content.
PasteboardSnapshot textContent(std::string text);

}  // namespace orvalin::fakes
