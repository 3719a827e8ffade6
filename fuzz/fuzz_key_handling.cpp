// The engine's key handling on the fake platform and a virtual clock. The input chooses a few
// formats (triggers and combinations) and then a stream of key presses with key codes, modifier
// words and characters, interleaved with time passing, the user copying, application switches,
// pastes from the tray panel and permission changes. Whatever the stream:
// - a paste is only ever posted after the engine put its text on the clipboard, and while the
//   clipboard holds one of its texts unless the user copied something in between;
// - the engine never erases more than the user typed;
// - once the clock has run past every scheduled step, and when the engine is torn down, the
//   clipboard holds the user's content again, never an inserted text.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "core/virtual_keys.h"
#include "engine/text_expansion_manager.h"
#include "engine/trigger_buffer.h"
#include "fuzz_check.h"
#include "support/fake_platform.h"
#include "support/memory_preferences_store.h"

using namespace orvalin;
using namespace std::chrono_literals;

namespace {

// Pieces of triggers and typed text: ASCII, a precomposed and a decomposed accent, an emoji, a
// joiner, an ill-formed byte.
const std::array<const char*, 10> kPieces{
    "d", "t", " ", "x", "\xC3\xA9", "e", "\xCC\x81", "\xF0\x9F\x98\x80", "\xE2\x80\x8D", "\xC3"};
// Key codes that mean something to the engine, besides arbitrary ones.
const std::array<std::uint16_t, 11> kKeyCodes{vkey::kV,
                                              vkey::kBackspace,
                                              vkey::kEscape,
                                              vkey::kLeftArrow,
                                              vkey::kRightArrow,
                                              vkey::kDownArrow,
                                              vkey::kUpArrow,
                                              vkey::kSpace,
                                              2,
                                              17,
                                              96};
const std::array<std::uint32_t, 6> kModifierBits{modifier::kCapsLock, modifier::kShift, modifier::kControl,
                                                 modifier::kAlt,      modifier::kSuper, 0x800000};

std::string pieces(FuzzedDataProvider& in, std::size_t most) {
    std::string text;
    const auto count = in.ConsumeIntegralInRange<std::size_t>(0, most);
    for (std::size_t i = 0; i < count; ++i) text += in.PickValueInArray(kPieces);
    return text;
}

std::uint16_t keyCode(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.PickValueInArray(kKeyCodes) : in.ConsumeIntegral<std::uint16_t>();
}

std::uint32_t modifiers(FuzzedDataProvider& in) {
    std::uint32_t word = 0;
    const auto bits = in.ConsumeIntegral<std::uint8_t>();
    for (std::size_t i = 0; i < kModifierBits.size(); ++i)
        if (bits & (1u << i)) word |= kModifierBits[i];
    return word;
}

// Each format's "date" is a literal, so that the texts the engine may put on the clipboard are known.
std::vector<Shortcut> formats(FuzzedDataProvider& in, std::set<std::string>& insertedTexts) {
    std::vector<Shortcut> list;
    const auto count = in.ConsumeIntegralInRange<std::size_t>(0, 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string text = "D" + std::to_string(i);
        insertedTexts.insert(text);
        Shortcut s{Uuid::generate(), text, "'" + text + "'", pieces(in, 4), std::nullopt};
        if (in.ConsumeBool()) s.globalShortcut = GlobalShortcut{keyCode(in), modifiers(in), "combo"};
        list.push_back(std::move(s));
    }
    return list;
}

struct Run {
    fakes::FakePlatform p;
    MemoryPreferencesStore store;
    std::unique_ptr<TextExpansionManager> manager;
    std::set<std::string> insertedTexts{"P"};
    std::set<std::string> userContents{"U0"};
    std::size_t graphemesTyped = 0;
    bool userCopied = false;

    void step(FuzzedDataProvider& in) {
        switch (in.ConsumeIntegralInRange(0, 9)) {
            case 5:
                p.scheduler.advance(std::chrono::milliseconds(in.ConsumeIntegralInRange(0, 300)));
                break;
            case 6: {
                const std::string copied = "U" + std::to_string(userContents.size());
                userContents.insert(copied);
                p.pasteboard.userCopies(fakes::textContent(copied));
                userCopied = true;
                break;
            }
            case 7:
                p.activeApplications.switchApplication();
                break;
            case 8:
                manager->pasteText("P", std::chrono::milliseconds(in.ConsumeIntegralInRange(0, 100)));
                break;
            case 9:
                p.trust.trusted = !p.trust.trusted;
                manager->checkAccessibilityPermission();
                break;
            default: {
                const std::uint16_t code = keyCode(in);
                const std::uint32_t word = modifiers(in);
                const std::string characters = pieces(in, 2);
                if (p.monitor.press(code, word, characters))
                    graphemesTyped += TriggerBuffer::countGraphemes(characters);
                break;
            }
        }
    }

    bool holdsInsertedText() const { return insertedTexts.count(p.pasteboard.describe()) != 0; }
    bool holdsUserContent() const { return userContents.count(p.pasteboard.describe()) != 0; }

    void checkTimeline() const {
        bool textSet = false;  // since the last restore
        bool copiedSinceText = false;
        std::size_t backspaces = 0;
        for (const auto& e : p.timeline.entries()) {
            if (e.call == "setText") {
                textSet = true;
                copiedSinceText = false;
            } else if (e.call == "restore") {
                textSet = false;
            } else if (e.call == "user copy") {
                copiedSinceText = true;
            } else if (e.call == "key 51") {
                ++backspaces;
            } else if (e.call.rfind("key 9", 0) == 0) {
                FUZZ_REQUIRE(textSet);
                if (!copiedSinceText) FUZZ_REQUIRE(insertedTexts.count(e.clipboard) != 0);
            }
        }
        FUZZ_REQUIRE(backspaces <= graphemesTyped);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Run run;
    run.p.pasteboard.content = fakes::textContent("U0");
    run.p.trust.trusted = true;
    run.manager = std::make_unique<TextExpansionManager>(run.store, run.p.engine);
    run.manager->setShortcuts(formats(in, run.insertedTexts));
    const bool teardownEarly = in.ConsumeBool();

    while (in.remaining_bytes() > 0) run.step(in);

    if (teardownEarly) {
        run.manager.reset();
        FUZZ_REQUIRE(run.holdsUserContent());
    }
    // Past every paste delay, restore delay and echo window.
    run.p.scheduler.advance(10s);
    FUZZ_REQUIRE(run.holdsUserContent());
    if (!run.userCopied) FUZZ_REQUIRE(run.p.pasteboard.describe() == "U0");
    if (run.manager) {
        FUZZ_REQUIRE(!run.manager->isInsertionUnderWay());
        run.manager.reset();
        FUZZ_REQUIRE(run.holdsUserContent());
    }
    run.checkTimeline();
    return 0;
}
