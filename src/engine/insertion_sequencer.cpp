#include "engine/insertion_sequencer.h"

#include <algorithm>

namespace orvalin {

InsertionSequencer::InsertionSequencer(KeySynthesizer& keys, Pasteboard& pasteboard, Scheduler& scheduler)
    : keys_(keys), pasteboard_(pasteboard), scheduler_(scheduler) {}

InsertionSequencer::~InsertionSequencer() {
    alive_.reset();
    stopWaiting();
    for (const auto& step : steps_) scheduler_.cancel(step.second);
    if (echoWindowTimer_ != 0) scheduler_.cancel(echoWindowTimer_);
    if (original_) pasteboard_.restore(*original_);
}

template <typename Step>
void InsertionSequencer::schedule(Scheduler::Duration delay, Step step) {
    std::uint64_t key = nextStepKey_++;
    std::weak_ptr<bool> alive = alive_;
    Scheduler::TimerId id =
        scheduler_.scheduleOnce(delay, [this, key, alive, step = std::move(step)]() mutable {
            if (alive.expired()) return;
            std::erase_if(steps_, [key](const auto& s) { return s.first == key; });
            step();
        });
    steps_.emplace_back(key, id);
}

void InsertionSequencer::begin(std::optional<PasteboardSnapshot> saved) {
    if (pending_++ == 0) original_ = saved ? std::move(*saved) : pasteboard_.snapshot();
}

void InsertionSequencer::insert(std::string text, std::size_t backspaces, Scheduler::Duration pasteDelay) {
    // The first of overlapping insertions saves the user's content; later ones find the date.
    if (pending_ > 0) {
        proceed(std::nullopt, std::move(text), backspaces, pasteDelay);
        return;
    }
    stopWaiting();
    waiting_ = true;
    waitingErases_ = backspaces > 0;
    const std::uint64_t ticket = ++waitTicket_;
    std::weak_ptr<bool> alive = alive_;
    pasteboard_.snapshotWhenReady([this, alive, ticket, text = std::move(text), backspaces,
                                   pasteDelay](PasteboardSnapshot saved) mutable {
        if (alive.expired() || !waiting_ || ticket != waitTicket_) return;
        waiting_ = false;
        if (saved.unreadable) return;
        // A panel insertion may have started meanwhile with its own copy of the content.
        std::optional<PasteboardSnapshot> first;
        if (pending_ == 0) first = std::move(saved);
        proceed(std::move(first), std::move(text), backspaces, pasteDelay);
    });
}

void InsertionSequencer::userTyped() {
    if (waiting_ && waitingErases_) stopWaiting();
}

void InsertionSequencer::stopWaiting() {
    if (!waiting_) return;
    waiting_ = false;
    pasteboard_.cancelSnapshot();
}

void InsertionSequencer::proceed(std::optional<PasteboardSnapshot> saved, std::string text,
                                 std::size_t backspaces, Scheduler::Duration pasteDelay) {
    for (std::size_t i = 0; i < backspaces; ++i) {
        if (!keys_.postBackspace()) return;
    }
    begin(std::move(saved));
    pasteboard_.setText(text);
    lastText_ = text;
    if (pasteDelay.count() <= 0) {
        paste(text);
        return;
    }
    schedule(pasteDelay, [this, text = std::move(text)] { paste(text); });
}

void InsertionSequencer::paste(const std::string& text) {
    if (lastText_ != text) {
        pasteboard_.setText(text);
        lastText_ = text;
    }
    pasteThenRestore();
}

void InsertionSequencer::pasteAndRestore(PasteboardSnapshot saved) {
    begin(std::move(saved));
    // Whoever called this put its own text on the clipboard; ours is no longer known to be there.
    lastText_.reset();
    pasteThenRestore();
}

// Without a paste nothing will fetch the text: the user's content comes back at once.
void InsertionSequencer::pasteThenRestore() {
    if (postPaste()) {
        schedule(kRestoreDelay, [this] { finish(); });
    } else {
        finish();
    }
}

bool InsertionSequencer::postPaste() {
    if (!keys_.postCommandV()) return false;
    if (echoWindowTimer_ != 0) scheduler_.cancel(echoWindowTimer_);
    std::weak_ptr<bool> alive = alive_;
    echoWindowTimer_ = scheduler_.scheduleOnce(kPasteEchoWindow, [this, alive] {
        if (!alive.expired()) echoWindowTimer_ = 0;
    });
    return true;
}

void InsertionSequencer::finish() {
    if (pending_ == 0 || --pending_ > 0) return;
    PasteboardSnapshot saved = std::move(*original_);
    original_.reset();
    lastText_.reset();
    pasteboard_.restore(saved);
}

}  // namespace orvalin
