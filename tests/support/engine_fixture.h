#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "support/memory_preferences_store.h"

namespace orvalin {

using fakes::TimelineEntry;
using namespace std::chrono_literals;

// An entry whose pattern is a quoted literal, so its rendered "date" is `text` on any day.
inline Shortcut literalEntry(const std::string& text, const std::string& trigger,
                             std::optional<GlobalShortcut> combination = std::nullopt) {
    return Shortcut{Uuid::generate(), text, "'" + text + "'", trigger, std::move(combination)};
}

inline GlobalShortcut combo(std::uint32_t keyCode, std::uint32_t modifiers) {
    return GlobalShortcut{keyCode, modifiers, "combo"};
}

// The user's clipboard saved, the Backspaces, the date on the clipboard, the paste right behind
// them, the restore 150 ms later.
inline std::vector<TimelineEntry> triggerTimeline(int backspaces, const std::string& before,
                                                  const std::string& date,
                                                  std::chrono::milliseconds t0 = 0ms) {
    std::vector<TimelineEntry> expected{{t0, "snapshot", before}};
    for (int i = 0; i < backspaces; ++i) expected.push_back({t0, "key 51", before});
    expected.push_back({t0, "setText", date});
    expected.push_back({t0, "key 9 flags 0x100000", date});
    expected.push_back({t0 + 150ms, "restore", before});
    return expected;
}

class EngineTest : public ::testing::Test {
protected:
    // Builds the manager; the permission is granted unless told otherwise.
    TextExpansionManager& start(bool trusted = true) {
        p.trust.trusted = trusted;
        manager = std::make_unique<TextExpansionManager>(store, p.engine);
        return *manager;
    }
    // Builds the manager on `entries` and forgets the construction's calls.
    TextExpansionManager& startWith(std::vector<Shortcut> entries) {
        start();
        manager->setShortcuts(std::move(entries));
        p.timeline.clear();
        return *manager;
    }
    // The user's copy is on the clipboard; the calls so far are forgotten.
    void userCopied(const std::string& text) {
        p.pasteboard.userCopies(fakes::textContent(text));
        p.timeline.clear();
    }
    // The insertion calls only (clipboard and synthesized keys).
    std::vector<TimelineEntry> insertionCalls() const {
        return p.timeline.only({"snapshot", "setText", "key ", "restore", "user copy"});
    }

    fakes::FakePlatform p;
    MemoryPreferencesStore store;
    std::unique_ptr<TextExpansionManager> manager;
};

}  // namespace orvalin
