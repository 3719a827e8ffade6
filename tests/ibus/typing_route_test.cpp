#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/virtual_keys.h"
#include "engine/text_expansion_manager.h"
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

class TypingRouteTest : public ::testing::Test {
protected:
    TypingRouteTest() {
        platform = std::make_unique<EnginePlatform>(
            EnginePlatform{route, nullptr, nullptr, p.scheduler, p.clock, p.trust, p.loginItems, p.urlOpener,
                           p.activeApplications, p.out, "", &route, "", p.engine.loginItemFailure});
        p.trust.trusted = true;
        manager = std::make_unique<TextExpansionManager>(store, *platform);
        manager->setShortcuts({literalEntry("DATE", "dt"), literalEntry("LONG", "xyz")});
        ibus::followTriggers(route, *manager);
        route.setDropListener([this] { ++dropped; });
    }

    // One key as IBus hands it over: the field reports first, then the key goes to the route,
    // and to the application unless the route takes it.
    Verdict press(Field& field, std::uint16_t keyCode, const std::string& characters,
                  std::uint32_t mods = 0) {
        if (field.reports == Field::Reports::Current) route.setTextBeforeCursor(field, field.text);
        if (field.reports == Field::Reports::Stale) route.setTextBeforeCursor(field, "old text dt");
        Verdict verdict = route.key(field, KeyEvent{keyCode, mods, characters}, false);
        if (verdict == Verdict::Pass) {
            if (keyCode == vkey::kBackspace && !field.text.empty())
                field.text.pop_back();
            else if (mods == 0 && characters >= " ")
                field.text += characters;
        }
        return verdict;
    }
    void type(Field& field, const std::string& text) {
        for (char c : text) press(field, c == ' ' ? vkey::kSpace : 0, std::string(1, c));
    }

    fakes::FakePlatform p;
    MemoryPreferencesStore store;
    TypingRoute route{p.scheduler};
    std::unique_ptr<EnginePlatform> platform;
    std::unique_ptr<TextExpansionManager> manager;
    int dropped = 0;
};

TEST_F(TypingRouteTest, EachKindOfFieldEndsWithTheDateInTheTriggersPlace) {
    for (Field::Reports reports : {Field::Reports::Current, Field::Reports::Stale, Field::Reports::None}) {
        Field field;
        field.reports = reports;
        route.focusIn(field, false);
        type(field, "le dt puis");
        EXPECT_EQ(field.shown(), "le DATE puis") << static_cast<int>(reports);
        // Only a field whose report shows the trigger's beginning is erased through it; the
        // others saw it as preedit.
        if (reports == Field::Reports::Current) {
            EXPECT_EQ(field.deletes, std::vector<std::size_t>{1});
            EXPECT_EQ(field.preedits, 0);
        } else {
            EXPECT_TRUE(field.deletes.empty());
            EXPECT_GT(field.preedits, 0);
        }
        route.focusOut(field);
    }
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
    EXPECT_EQ(press(field, 0, "t"), Verdict::Pass);
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
    route.setSecret(password, false);
    password.reports = Field::Reports::None;
    password.text.clear();
    type(password, "d");
    route.setSecret(password, true);
    EXPECT_EQ(password.text, "d");
    EXPECT_TRUE(password.preedit.empty());
}

TEST_F(TypingRouteTest, KeysTypedInTheProgramsOwnWindowsPassUntouched) {
    bool ownWindow = true;
    route.ignoreKeysWhile([&ownWindow] { return ownWindow; });
    Field field;
    field.reports = Field::Reports::None;
    route.focusIn(field, false);
    type(field, "dt d");
    EXPECT_EQ(field.text, "dt d");
    EXPECT_EQ(field.preedits, 0);
    ownWindow = false;
    type(field, "t");
    EXPECT_EQ(field.shown(), "dt dt");  // the "d" before was never seen
    type(field, " dt");
    EXPECT_EQ(field.shown(), "dt dt DATE");
}

TEST_F(TypingRouteTest, ADateAskedForWithNoFieldWaitsForTheNextOneForALimitedTime) {
    manager->pasteText("CLICK", 0ms);
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
    EXPECT_EQ(field.text, "CLICKNOW");
    route.focusOut(field);
    manager->pasteText("LATE", 0ms);
    p.scheduler.advance(TypingRoute::kPendingDateLifetime);
    EXPECT_EQ(dropped, 1);
    route.focusIn(field, false);
    p.scheduler.advance(1s);
    EXPECT_EQ(field.text, "CLICKNOW");
}

}  // namespace
}  // namespace orvalin
