#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/virtual_keys.h"
#include "engine/text_expansion_manager.h"
#include "platform/ibus/route_relay.h"
#include "platform/ibus/typing_route.h"
#include "support/engine_fixture.h"
#include "support/fake_platform.h"
#include "support/memory_preferences_store.h"

namespace orvalin {
namespace {

using ibus::TypingRoute;
using Verdict = TypingRoute::Verdict;

// A text field as its application keeps it: committed text with the cursor at its end, and the
// preedit shown after it. It reports its text before each key, stale text, or none.
class Field final : public ibus::FieldWriter {
public:
    enum class Reports { Current, Stale, None };
    void commit(std::string_view t) override { text += t; }
    void showPreedit(std::string_view t) override {
        preedit = t;
        ++preedits;
    }
    void hidePreedit() override { preedit.clear(); }
    void deleteBeforeCursor(std::size_t n) override {
        deletes.push_back(n);
        for (; n > 0 && !text.empty(); --n) {
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
            text.pop_back();
        }
    }
    std::string shown() const { return text + preedit; }

    Reports reports = Reports::Current;
    std::string text, preedit;
    int preedits = 0;
    std::vector<std::size_t> deletes;
};

// The route on its thread and the engine on another, each running what the other handed it
// only when the test lets the engine catch up.
class TypingRouteTest : public ::testing::Test {
protected:
    TypingRouteTest() {
        platform = std::make_unique<EnginePlatform>(
            EnginePlatform{relay, nullptr, nullptr, p.scheduler, p.clock, p.trust, p.loginItems, p.urlOpener,
                           p.activeApplications, p.out, "", &relay, "", p.engine.loginItemFailure});
        p.trust.trusted = true;
        route.setHandoff([this](const KeyEvent& e, std::uint64_t id, bool awaited) {
            toEngine.push_back(
                [this, code = e.keyCode, mods = e.modifiers, text = std::string(e.characters), id, awaited] {
                    relay.deliver(KeyEvent{code, mods, text}, id, awaited);
                });
        });
        route.setResumeListener([this] { offerWaitingKeys(); });
        route.setDropListener([this] { ++dropped; });
        manager = std::make_unique<TextExpansionManager>(store, *platform);
        manager->setShortcuts({literalEntry("DATE", "dt", combo(kD, modifier::kControl | modifier::kShift)),
                               literalEntry("LONG", "xyz")});
        ibus::followTriggers(relay, *manager);
        relay.insertionsUnderWay([this] { return manager->isInsertionUnderWay(); });
        settle();
    }

    // The engine's thread handles the keys handed to it, and its answers reach the route.
    void settle() {
        do {
            for (auto queue : {&toEngine, &toRoute}) {
                while (!queue->empty()) {
                    auto task = std::move(queue->front());
                    queue->erase(queue->begin());
                    task();
                }
            }
            p.scheduler.advance(0ms);
        } while (!toEngine.empty() || !toRoute.empty());
    }

    // One key as IBus hands it over: the field reports first, then the key goes to the route, and
    // to the application unless the route takes it or keeps it waiting behind an earlier one.
    Verdict press(Field& field, std::uint16_t keyCode, const std::string& characters, std::uint32_t mods = 0,
                  bool composing = false) {
        if (field.reports == Field::Reports::Current) route.setTextBeforeCursor(field, field.text);
        if (field.reports == Field::Reports::Stale) route.setTextBeforeCursor(field, "old text dt");
        if (!waiting.empty()) {
            waiting.push_back({&field, keyCode, characters, mods, composing});
            return Verdict::Wait;
        }
        return offer({&field, keyCode, characters, mods, composing});
    }
    // Typed faster than the engine answers: it catches up only once the text is typed.
    void typeAhead(Field& field, const std::string& text) {
        for (char c : text) press(field, c == ' ' ? vkey::kSpace : 0, std::string(1, c));
    }
    void type(Field& field, const std::string& text) {
        for (char c : text) {
            press(field, c == ' ' ? vkey::kSpace : 0, std::string(1, c));
            settle();
        }
    }

    static constexpr std::uint16_t kD = 2;
    fakes::FakePlatform p;
    MemoryPreferencesStore store;
    TypingRoute route{p.scheduler};
    std::vector<std::function<void()>> toRoute, toEngine;
    ibus::RouteRelay relay{[this](std::function<void(TypingRoute&)> task) {
        toRoute.push_back([this, task = std::move(task)] { task(route); });
    }};
    std::unique_ptr<EnginePlatform> platform;
    std::unique_ptr<TextExpansionManager> manager;
    int dropped = 0;

private:
    struct Key {
        Field* field;
        std::uint16_t keyCode;
        std::string characters;
        std::uint32_t mods;
        bool composing;
    };
    Verdict offer(const Key& key) {
        Verdict verdict =
            route.key(*key.field, KeyEvent{key.keyCode, key.mods, key.characters}, key.composing);
        if (verdict == Verdict::Wait) waiting.push_back(key);
        if (verdict != Verdict::Pass) return verdict;
        std::string& text = key.field->text;
        if (key.keyCode == vkey::kBackspace && !text.empty())
            text.pop_back();
        else if (key.mods == 0 && key.characters >= " ")
            text += key.characters;
        return verdict;
    }
    void offerWaitingKeys() {
        std::vector<Key> keys = std::exchange(waiting, {});
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (offer(keys[i]) == Verdict::Wait) {
                waiting.insert(waiting.end(), keys.begin() + static_cast<std::ptrdiff_t>(i) + 1, keys.end());
                return;
            }
        }
    }
    std::vector<Key> waiting;
};

TEST_F(TypingRouteTest, EachKindOfFieldEndsWithTheDateInTheTriggersPlace) {
    for (bool lagging : {false, true}) {
        for (Field::Reports reports :
             {Field::Reports::Current, Field::Reports::Stale, Field::Reports::None}) {
            Field field;
            field.reports = reports;
            route.focusIn(field, false);
            lagging ? typeAhead(field, "le dt puis") : type(field, "le dt puis");
            settle();
            const std::string context =
                std::to_string(static_cast<int>(reports)) + (lagging ? " lagging" : "");
            EXPECT_EQ(field.shown(), "le DATE puis") << context;
            // Only a field whose report shows the trigger's beginning is erased through it; the
            // others saw it as preedit.
            if (reports == Field::Reports::Current) {
                EXPECT_EQ(field.deletes, std::vector<std::size_t>{1}) << context;
                EXPECT_EQ(field.preedits, 0) << context;
            } else {
                EXPECT_TRUE(field.deletes.empty()) << context;
                EXPECT_GT(field.preedits, 0) << context;
            }
            route.focusOut(field);
            settle();
        }
    }
}

TEST_F(TypingRouteTest, OnlyKeysAfterATriggerOrACombinationWaitForTheEngine) {
    Field field;
    route.focusIn(field, false);
    // The engine has not caught up with any of these keys: the common ones go on regardless.
    for (char c : std::string("le d")) EXPECT_EQ(press(field, 0, std::string(1, c)), Verdict::Pass);
    EXPECT_EQ(press(field, 0, "t"), Verdict::Take);
    // Text typed meanwhile is taken and goes in after the date; other keys, and every key after
    // them, wait to go to the application.
    EXPECT_EQ(press(field, 0, " "), Verdict::Take);
    EXPECT_EQ(press(field, vkey::kReturn, "\r"), Verdict::Wait);
    EXPECT_EQ(press(field, 0, "q"), Verdict::Wait);
    EXPECT_EQ(field.text, "le d");
    settle();
    EXPECT_EQ(field.text, "le DATE q");
    // A trigger's last letter may end a dead-key sequence.
    press(field, 0, " ");
    press(field, 0, "d");
    EXPECT_EQ(press(field, 0, "t", 0, true), Verdict::Take);
    settle();
    EXPECT_EQ(field.text, "le DATE q DATE");  // the Return went to the application between

    // A combination's date comes after a delay of the engine's; what is typed meanwhile follows it,
    // however late the engine is (the keys of "a<chord>b<chord>c" typed in one go).
    field.text.clear();
    field.reports = Field::Reports::None;
    const std::uint32_t chord = modifier::kControl | modifier::kShift;
    press(field, 0, "a");
    EXPECT_EQ(press(field, kD, "\x04", chord), Verdict::Pass);
    EXPECT_EQ(press(field, 0, "b"), Verdict::Take);
    press(field, kD, "\x04", chord);
    press(field, 0, "c");
    for (int turn = 0; turn < 3; ++turn) {
        settle();
        p.scheduler.advance(TextExpansionManager::kCombinationPasteDelay);
    }
    EXPECT_EQ(field.text, "aDATEbDATEc");
    // A date that went in outside any key may still be on its way to the application: the next
    // key's text follows it through the route rather than overtake it.
    manager->pasteText("CLICK", 0ms);
    settle();
    EXPECT_EQ(press(field, 0, "w"), Verdict::Take);
    EXPECT_EQ(field.text, "aDATEbDATEcCLICKw");
}

TEST_F(TypingRouteTest, KeysWaitForALateEngineOnlyForABoundedTime) {
    Field field;
    field.reports = Field::Reports::None;
    route.focusIn(field, false);
    typeAhead(field, "dt ok");
    EXPECT_EQ(field.shown(), "d");
    p.scheduler.advance(TypingRoute::kAnswerBound);
    EXPECT_EQ(field.shown(), "dt ok");
    // The answer comes at last, on text that moved on: dropped, nothing erased.
    settle();
    EXPECT_EQ(field.shown(), "dt ok");
    type(field, " dt");
    EXPECT_EQ(field.shown(), "dt ok DATE");

    // A field losing the focus lets its waiting keys go as typed.
    Field other;
    other.reports = Field::Reports::None;
    route.focusIn(other, false);
    typeAhead(other, "dt!");
    route.focusOut(other);
    settle();
    EXPECT_EQ(other.text, "dt!");
}

TEST_F(TypingRouteTest, HeldTextGoesInUnchangedAndInOrderOnceTheTypingStopsMatching) {
    Field field;
    field.reports = Field::Reports::None;
    route.focusIn(field, false);
    type(field, "xyx dd xyxyz");
    EXPECT_EQ(field.shown(), "xyx dd xyLONG");
    EXPECT_TRUE(field.preedit.empty());

    // A Backspace takes back a held key; a key that types nothing lets what is held go first.
    field.text.clear();
    type(field, "xy");
    EXPECT_EQ(press(field, vkey::kBackspace, ""), Verdict::Take);
    EXPECT_EQ(field.preedit, "x");
    EXPECT_EQ(press(field, vkey::kReturn, "\r"), Verdict::Pass);
    EXPECT_EQ(field.text, "x");
    EXPECT_TRUE(field.preedit.empty());
    type(field, "dt");
    EXPECT_EQ(field.text, "xDATE");
}

TEST_F(TypingRouteTest, ALongReportIsReadOnlyAtItsEnd) {
    Field field;
    route.focusIn(field, false);
    field.text = std::string(100000, 'a') + "é";
    type(field, " dt");
    EXPECT_EQ(field.text, std::string(100000, 'a') + "é DATE");
    EXPECT_EQ(field.deletes, std::vector<std::size_t>{1});
}

TEST_F(TypingRouteTest, AStaleReportNeverErasesTheFieldsText) {
    Field field;
    field.reports = Field::Reports::Current;
    route.focusIn(field, false);
    type(field, "ab d");
    // The application changed its text behind the route's back and reported nothing since.
    field.text = "something else";
    field.reports = Field::Reports::None;
    press(field, 0, "t");
    settle();
    EXPECT_EQ(field.text, "something elset");
    EXPECT_TRUE(field.deletes.empty());
}

TEST_F(TypingRouteTest, SecretFieldsAreNeitherWatchedNorHeldBackIn) {
    Field password;
    route.focusIn(password, false);
    route.setSecret(password, true);
    type(password, "dt d");
    EXPECT_EQ(password.text, "dt d");
    EXPECT_EQ(password.preedits, 0);
    EXPECT_EQ(manager->bufferLength(), 0u);

    // Held text is let go before a field turns secret.
    settle();
    route.setSecret(password, false);
    password.reports = Field::Reports::None;
    password.text.clear();
    type(password, "d");
    route.setSecret(password, true);
    EXPECT_EQ(password.text, "d");
    EXPECT_TRUE(password.preedit.empty());
}

TEST_F(TypingRouteTest, KeysTypedInTheProgramsOwnWindowsReachNoEngine) {
    bool ownWindow = true;
    relay.ignoreKeysWhile([&ownWindow] { return ownWindow; });
    Field field;
    field.reports = Field::Reports::None;
    route.focusIn(field, false);
    type(field, "dt d");
    EXPECT_EQ(field.shown(), "dt d");
    EXPECT_EQ(manager->bufferLength(), 0u);
    ownWindow = false;
    type(field, "t");
    EXPECT_EQ(field.shown(), "dt dt");  // the "d" before was never seen
    type(field, " dt");
    EXPECT_EQ(field.shown(), "dt dt DATE");
}

TEST_F(TypingRouteTest, ADateAskedForWithNoFieldWaitsForTheNextOneForALimitedTime) {
    manager->pasteText("CLICK", 0ms);
    settle();
    Field secret, field;
    p.scheduler.advance(3s);
    route.focusIn(secret, true);
    p.scheduler.advance(1s);
    EXPECT_EQ(secret.text, "");
    route.focusIn(field, false);
    EXPECT_EQ(field.text, "");
    p.scheduler.advance(TypingRoute::kFocusSettle);
    EXPECT_EQ(field.text, "CLICK");
    EXPECT_EQ(dropped, 0);

    // With a field focused it goes in at once; with none for too long it is dropped.
    manager->pasteText("NOW", 0ms);
    settle();
    EXPECT_EQ(field.text, "CLICKNOW");
    route.focusOut(field);
    manager->pasteText("LATE", 0ms);
    settle();
    p.scheduler.advance(TypingRoute::kPendingDateLifetime);
    EXPECT_EQ(dropped, 1);
    route.focusIn(field, false);
    p.scheduler.advance(1s);
    EXPECT_EQ(field.text, "CLICKNOW");
}

}  // namespace
}  // namespace orvalin
