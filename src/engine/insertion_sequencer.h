#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/insertion_route.h"
#include "engine/platform.h"

namespace orvalin {

// Runs insertions through the clipboard: put the text, erase with Backspaces, paste, restore.
//
// Insertions may overlap (a second one starts before the first has restored the clipboard). The
// clipboard content held before the first of them is the one that comes back, once, after the
// last one; each insertion still pastes its own text, put back on the clipboard just before its
// paste if another insertion replaced it meanwhile. Every delay stays as given.
class InsertionSequencer final : public InsertionRoute {
public:
    static constexpr Scheduler::Duration kRestoreDelay{150};
    // How long after a synthesized paste its echo may still come back through the key monitor (a
    // desktop may hold the chord back until the user lets go of the modifiers, about a second).
    static constexpr Scheduler::Duration kPasteEchoWindow{1500};

    InsertionSequencer(KeySynthesizer& keys, Pasteboard& pasteboard, Scheduler& scheduler);
    // Cancels the steps still scheduled; a clipboard still holding an inserted text gets the
    // user's content back at once.
    ~InsertionSequencer() override;
    InsertionSequencer(const InsertionSequencer&) = delete;
    InsertionSequencer& operator=(const InsertionSequencer&) = delete;

    // Saves the user's clipboard, posts `backspaces` Backspaces, puts `text` on the clipboard,
    // posts Command-V after `pasteDelay` (in the same turn when it is zero), and restores the
    // clipboard `kRestoreDelay` after that. A clipboard whose content could not be read is left
    // alone and nothing is typed: the trigger stays, rather than the user's content being lost.
    // A key that cannot be typed ends the insertion there and then, with the clipboard as the
    // user had it: no paste follows a trigger that could not be erased.
    // The first of overlapping insertions starts once the clipboard's content is in; a newer
    // insertion asked for meanwhile replaces it.
    void insert(std::string text, std::size_t backspaces, Scheduler::Duration pasteDelay) override;
    // The user typed a key into the target. An insertion still waiting for the clipboard's
    // content gives up when it would erase a trigger: its Backspaces would now erase that key.
    void userTyped();
    // Command-V now, `saved` back `kRestoreDelay` later. When an insertion is already under way,
    // the content saved by the first one is what comes back instead.
    void pasteAndRestore(PasteboardSnapshot saved);

    PasteboardSnapshot snapshot() { return pasteboard_.snapshot(); }
    bool simulatePaste() { return keys_.postCommandV(); }
    void restore(const PasteboardSnapshot& saved) { pasteboard_.restore(saved); }

    // True from the start of an insertion until its clipboard content is back.
    bool busy() const override { return pending_ > 0 || waiting_; }
    // True while an insertion is under way or a paste was posted less than kPasteEchoWindow ago.
    bool pasteEchoPossible() const { return busy() || echoWindowTimer_ != 0; }

private:
    void begin(std::optional<PasteboardSnapshot> saved);
    void proceed(std::optional<PasteboardSnapshot> saved, std::string text, std::size_t backspaces,
                 Scheduler::Duration pasteDelay);
    void stopWaiting();
    void paste(const std::string& text);
    bool postPaste();
    void pasteThenRestore();
    void finish();
    template <typename Step>
    void schedule(Scheduler::Duration delay, Step step);

    KeySynthesizer& keys_;
    Pasteboard& pasteboard_;
    Scheduler& scheduler_;

    std::size_t pending_ = 0;                     // insertions not yet restored
    std::optional<PasteboardSnapshot> original_;  // the user's content, while pending_ > 0
    std::optional<std::string> lastText_;         // what this sequencer last put on the clipboard
    bool waiting_ = false;                        // for the content of a first insertion
    bool waitingErases_ = false;                  // that insertion erases a trigger
    std::uint64_t waitTicket_ = 0;                // tells its answer from an abandoned one's
    std::uint64_t nextStepKey_ = 1;
    std::vector<std::pair<std::uint64_t, Scheduler::TimerId>> steps_;
    Scheduler::TimerId echoWindowTimer_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orvalin
