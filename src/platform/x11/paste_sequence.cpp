#include "platform/x11/paste_sequence.h"

#include <QGuiApplication>
#include <algorithm>
#include <utility>

#include "platform/qt_clipboard_pasteboard.h"
#include "platform/x11/keyboard_hold.h"
#include "platform/x11/selection_watch.h"

namespace orvalin::x11 {

PasteSequence::PasteSequence(X11Connection& conn, QtClipboardPasteboard& clipboard, PasteBounds bounds)
    : clipboard_(clipboard), bounds_(bounds) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { evaluate(); });
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    // The answer to the fetch leaves on Qt's connection; it must reach the target before the keys.
    keys_ = std::make_unique<KeyboardHold>(
        conn, [] { waitForQtRequests(); }, bounds_.keysHeldAtMost);
    fetches_ = std::make_unique<SelectionRequestWatch>(conn, [this] { dateFetched(); });
}

PasteSequence::~PasteSequence() {
    restoreNow();
}

PasteboardSnapshot PasteSequence::snapshot() {
    return clipboard_.snapshot();
}

void PasteSequence::snapshotWhenReady(std::function<void(PasteboardSnapshot)> ready) {
    clipboard_.snapshotWhenReady(std::move(ready));
}

void PasteSequence::cancelSnapshot() {
    clipboard_.cancelSnapshot();
}

void PasteSequence::prepare() {
    clipboard_.prepare();
}

void PasteSequence::setText(std::string_view text) {
    // A restore still held back is replaced by the one that follows this insertion.
    held_.reset();
    timer_.stop();
    if (!clipboard_.keepsUsersContent()) {
        chordsAtRunStart_ = sent_;
        fetchesInRun_ = 0;
    }
    clipboard_.setText(text);
    chordsAtSetText_ = sent_;
}

void PasteSequence::restore(const PasteboardSnapshot& saved) {
    if (clipboard_.dateReplaced()) {
        // Someone copied something since: nothing of ours is left to fetch.
        clipboard_.restore(saved);
        return;
    }
    held_ = saved;
    heldSince_ = std::chrono::steady_clock::now();
    evaluate();
}

void PasteSequence::restoreNow() {
    if (held_) apply();
}

void PasteSequence::chordQueued() {
    ++queued_;
}

void PasteSequence::chordChosen(bool readsPrimary) {
    if (readsPrimary) clipboard_.putDateOnPrimary();
}

void PasteSequence::chordTyped() {
    if (keys_) keys_->hold();
}

void PasteSequence::chordSent() {
    ++sent_;
    lastSent_ = std::chrono::steady_clock::now();
    lastFailed_ = false;
    evaluate();
}

void PasteSequence::chordFailed() {
    ++failed_;
    lastFailed_ = true;
    evaluate();
}

void PasteSequence::dateFetched() {
    if (keys_) keys_->releaseSoon();
    if (sent_ <= chordsAtRunStart_) return;  // a clipboard manager looking, not a paste
    ++fetchesInRun_;
    // Let the request be answered first.
    if (held_) QTimer::singleShot(0, &timer_, [this] { evaluate(); });
}

bool PasteSequence::allFetched() const {
    // Every paste of this run of insertions fetches once: with overlapping insertions, a fetch
    // for an earlier paste must not release the restore meant for a later one.
    return fetchesInRun_ >= sent_ - chordsAtRunStart_;
}

// Rounded up: a timer firing a fraction of a millisecond early must wait again, not restore
// before the target could fetch the text.
std::chrono::milliseconds PasteSequence::stillToWait() const {
    using std::chrono::milliseconds;
    const auto now = std::chrono::steady_clock::now();
    auto until = [now](std::chrono::steady_clock::time_point t) {
        return now < t ? std::chrono::ceil<milliseconds>(t - now) : milliseconds(0);
    };
    // The chord has not gone out yet (the user still holds a modifier).
    if (chordPending() || sent_ <= chordsAtSetText_) return until(heldSince_ + bounds_.maxWaitForChord);
    const auto earliest = lastSent_ + bounds_.minAfterChord;
    // A restore asked for late still leaves the target its whole time to fetch.
    const auto latest = std::max(lastSent_ + bounds_.maxAfterChord,
                                 heldSince_ + bounds_.maxAfterChord - bounds_.minAfterChord);
    if (now < earliest) return until(earliest);
    return allFetched() ? milliseconds(0) : until(latest);
}

void PasteSequence::evaluate() {
    if (!held_) return;
    // No paste went out, so nothing will fetch the text.
    const bool nothingToFetch = !chordPending() && lastFailed_;
    const std::chrono::milliseconds wait = nothingToFetch ? std::chrono::milliseconds(0) : stillToWait();
    if (wait.count() > 0) {
        timer_.start(wait + std::chrono::milliseconds(1));
        return;
    }
    apply();
}

void PasteSequence::apply() {
    timer_.stop();
    PasteboardSnapshot saved = std::move(*held_);
    held_.reset();
    clipboard_.restore(saved);
}

}  // namespace orvalin::x11
