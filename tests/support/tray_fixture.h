#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/month_grid.h"
#include "engine/text_expansion_manager.h"
#include "support/fake_platform.h"
#include "support/memory_preferences_store.h"

namespace orvalin::ui {

using namespace std::chrono;
using namespace std::chrono_literals;

// The fake platform's today: Tuesday 10 February 2026, noon in Paris.
inline constexpr Instant kNow = fakes::FakeClock::kStart;

inline Shortcut entry(std::string label, std::string pattern, std::string trigger,
                      std::optional<GlobalShortcut> combination = std::nullopt) {
    return Shortcut{Uuid::generate(), std::move(label), std::move(pattern), std::move(trigger),
                    std::move(combination)};
}

// A manager on fake platform objects and a memory store, the fake clock and a French calendar.
class TrayTest : public ::testing::Test {
protected:
    TextExpansionManager& startManager(bool trusted = true) {
        platform.trust.trusted = trusted;
        manager = std::make_unique<TextExpansionManager>(store, platform.engine);
        return *manager;
    }
    void completeOnboarding() { store.values[prefkey::kOnboardingCompleted] = true; }
    std::vector<fakes::TimelineEntry> insertionCalls() const {
        return platform.timeline.only({"snapshot", "setText", "key ", "restore"});
    }

    fakes::FakePlatform platform;
    MemoryPreferencesStore store;
    std::unique_ptr<TextExpansionManager> manager;
    MonthGrid grid{"fr_FR"};  // host zone, like the date rendering
};

}  // namespace orvalin::ui
