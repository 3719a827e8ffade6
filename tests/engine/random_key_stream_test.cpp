// Long random key streams against a plain reference model: the buffer never exceeds 30 characters,
// nothing is inserted without a match, every match inserts, and the user's clipboard always comes back.

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <memory>
#include <random>

#include "support/engine_fixture.h"

namespace orvalin {
namespace {

// Reference segmentation: the whole text composed and split by ICU, no incremental work.
std::vector<std::string> clustersOf(const std::string& utf8) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
    text = icu::Normalizer2::getNFCInstance(status)->normalize(text, status);
    std::unique_ptr<icu::BreakIterator> it(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    EXPECT_TRUE(U_SUCCESS(status));
    it->setText(text);
    std::vector<std::string> out;
    for (int32_t start = it->first(), end = it->next(); end != icu::BreakIterator::DONE;
         start = end, end = it->next()) {
        std::string piece;
        text.tempSubStringBetween(start, end).toUTF8String(piece);
        out.push_back(piece);
    }
    return out;
}

std::size_t backspacesPosted(const fakes::FakePlatform& p) {
    return static_cast<std::size_t>(std::count_if(p.keys.presses.begin(), p.keys.presses.end(),
                                                  [](const auto& k) { return k.keyCode == 51; }));
}

struct ReferenceBuffer {
    std::vector<std::string> clusters;
    void append(const std::string& chars) {
        std::string joined;
        for (const auto& c : clusters) joined += c;
        clusters = clustersOf(joined + chars);
        if (clusters.size() > 30) clusters.erase(clusters.begin(), clusters.end() - 30);
    }
    bool endsWith(const std::vector<std::string>& trigger) const {
        if (trigger.empty() || trigger.size() > clusters.size()) return false;
        return std::equal(trigger.begin(), trigger.end(),
                          clusters.end() - static_cast<std::ptrdiff_t>(trigger.size()));
    }
    std::string text() const {
        std::string joined;
        for (const auto& c : clusters) joined += c;
        return joined;
    }
};

// Pieces of text a key press may produce: plain letters, trigger material, emoji parts, marks,
// regional indicators, line ends, ill-formed bytes.
const std::vector<std::string> kPieces = [] {
    std::vector<std::string> pieces;
    for (char c : std::string("abdtcl  x\r\n\teq")) pieces.emplace_back(1, c);
    pieces.insert(pieces.end(), {
                                    "\xCC\x81",          // combining acute
                                    "\xCC\xA3",          // combining dot below
                                    "\xC3\xA9",          // é
                                    "\xF0\x9F\x87\xAB",  // regional indicator F
                                    "\xF0\x9F\x87\xB7",  // regional indicator R
                                    "\xE2\x80\x8D",      // zero-width joiner
                                    "\xF0\x9F\x91\xA9",  // woman
                                    "\xF0\x9F\x8E\x89",  // party popper
                                    "\xEF\xB8\x8F",      // variation selector 16
                                    "\xEF\x9C\x88",      // private-use character of a function key
                                    "\xE1\x84\x80", "\xE1\x85\xA1",  // Hangul jamo L and V
                                    "\xFF",                          // ill-formed
                                });
    return pieces;
}();

TEST(EngineRandomStreams, InvariantsHoldOverLongRandomStreams) {
    const std::vector<Shortcut> entries{
        literalEntry("ISO", "dt "),
        literalEntry("COURT", "dtc "),
        literalEntry("PARTY", "\xF0\x9F\x8E\x89"),
        literalEntry("ACCENT", "\xC3\xA9 "),
        literalEntry("FLAG", "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"),
        literalEntry("MARK", "\xCC\x81"),
        literalEntry("LONG", "abababababababababababababababab"),  // 32: never
        literalEntry("CMD", "", combo(2, modifier::kSuper)),
        literalEntry("CMD2", "", combo(2, modifier::kSuper)),
        literalEntry("F5", "", combo(96, 0)),
    };
    std::vector<std::pair<std::vector<std::string>, std::size_t>> triggers;  // clusters, count
    for (const auto& e : entries) {
        if (!e.trigger.empty()) triggers.emplace_back(clustersOf(e.trigger), clustersOf(e.trigger).size());
    }

    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        fakes::FakePlatform p;
        p.trust.trusted = true;
        MemoryPreferencesStore store;
        TextExpansionManager manager(store, p.engine);
        manager.setShortcuts(entries);
        std::mt19937 rng(seed);
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };

        ReferenceBuffer ref;
        std::size_t expectedPastes = 0, expectedBackspaces = 0;
        PasteboardSnapshot userContent;

        for (int step = 0; step < 4000; ++step) {
            std::size_t roll = pick(100);
            std::size_t backspacesBefore = backspacesPosted(p);
            std::size_t matched = 0;  // insertions this event must start
            std::size_t erase = 0;
            if (roll < 70) {
                std::string chars = kPieces[pick(kPieces.size())];
                if (pick(8) == 0) chars += kPieces[pick(kPieces.size())];  // a key may type two
                p.monitor.press(0x8000 + 200, 0, chars);
                ref.append(chars);
                for (const auto& [clusters, count] : triggers) {
                    if (ref.endsWith(clusters)) {
                        matched = 1;
                        erase = count;
                        ref.clusters.clear();
                        break;
                    }
                }
            } else if (roll < 76) {
                p.monitor.press(51);
                if (!ref.clusters.empty()) ref.clusters.pop_back();
            } else if (roll < 79) {
                p.monitor.press(std::array<std::uint16_t, 5>{53, 123, 124, 125, 126}[pick(5)]);
                ref.clusters.clear();
            } else if (roll < 83) {
                p.monitor.press(0, modifier::kShift, "A");  // no combination: buffer unchanged
            } else if (roll < 85) {
                p.monitor.press(2, modifier::kSuper | (pick(2) ? modifier::kCapsLock : 0));
                matched = 2;
                ref.clusters.clear();
            } else if (roll < 86) {
                p.monitor.press(96, 0, "\xEF\x9C\x88");
                matched = 1;
                ref.clusters.clear();
            } else if (roll < 88) {
                p.activeApplications.switchApplication();
                ref.clusters.clear();
            } else if (roll < 90) {
                if (!manager.isInsertionUnderWay()) {
                    userContent = pick(3) == 0 ? PasteboardSnapshot{}
                                               : fakes::textContent("copy " + std::to_string(step));
                    p.pasteboard.userCopies(userContent);
                }
            } else {
                p.scheduler.advance(std::chrono::milliseconds(pick(260)));
            }
            expectedPastes += matched;
            expectedBackspaces += erase;

            ASSERT_LE(manager.bufferLength(), 30u);
            ASSERT_EQ(manager.bufferLength(), ref.clusters.size()) << "step " << step;
            ASSERT_EQ(backspacesPosted(p) - backspacesBefore, erase) << "step " << step;
            if (!manager.isInsertionUnderWay()) {
                ASSERT_EQ(p.pasteboard.content, userContent) << "step " << step;
            }
        }
        p.scheduler.advance(3s);
        std::size_t pastes = 0, backspaces = 0;
        for (const auto& press : p.keys.presses) (press.keyCode == 9 ? pastes : backspaces)++;
        EXPECT_EQ(pastes, expectedPastes);
        EXPECT_EQ(backspaces, expectedBackspaces);
        EXPECT_GT(expectedPastes, 10u) << "the stream should exercise insertions";
        EXPECT_EQ(p.pasteboard.snapshots, p.pasteboard.restores) << "every snapshot restored";
        EXPECT_EQ(p.pasteboard.content, userContent);
        EXPECT_FALSE(manager.isInsertionUnderWay());
        EXPECT_EQ(p.scheduler.pendingOnce(), 0u);
    }
}

// The incremental buffer against whole-text segmentation, on random appends and Backspaces.
TEST(EngineRandomStreams, BufferAgreesWithWholeTextSegmentation) {
    for (unsigned seed = 100; seed < 110; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
        TriggerBuffer buffer;
        ReferenceBuffer ref;
        for (int step = 0; step < 3000; ++step) {
            if (pick(8) == 0) {
                buffer.removeLast();
                if (!ref.clusters.empty()) ref.clusters.pop_back();
            } else {
                std::string chars = kPieces[pick(kPieces.size())];
                buffer.append(chars);
                ref.append(chars);
            }
            ASSERT_EQ(buffer.text(), ref.text()) << "step " << step;
            ASSERT_EQ(buffer.graphemeCount(), ref.clusters.size()) << "step " << step;
        }
    }
}

}  // namespace
}  // namespace orvalin
