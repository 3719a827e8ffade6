#pragma once

#include <QClipboard>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "engine/platform.h"

class QMimeData;

namespace orvalin {

class PasteTracker;

// The CLIPBOARD selection through QClipboard.
//
// A snapshot holds every format the owner offers, with its bytes. The date goes on as plain text
// marked transient for clipboard managers. Restoring waits until the paste chord went out and the
// target fetched the date (0.15 s after the chord at the earliest, about 1 s at the latest): a
// slow target otherwise pastes the old content. While the program's own date is still on the
// clipboard, a snapshot gives what the user had before it, so insertions back to back never take
// the date for the user's content. A restore finding that someone else copied something
// meanwhile leaves that new content alone.
class QtClipboardPasteboard final : public Pasteboard {
public:
    // `ownerAnswers(primary)`: whether the selection's owner answers within a short bound; an
    // owner that does not is not asked for its formats (it would hold the program up).
    QtClipboardPasteboard(PasteTracker& tracker, std::function<bool(bool primary)> ownerAnswers = {});
    ~QtClipboardPasteboard() override;

    PasteboardSnapshot snapshot() override;
    void setText(std::string_view text) override;
    void restore(const PasteboardSnapshot& saved) override;
    // Reads another program's clipboard ahead of a trigger; kept until its owner changes or
    // `maxPreparedAge` has passed.
    void prepare() override;

    // Someone fetched the data the program put on a selection (told by the X layer).
    void dataFetched();
    bool restoreHeld() const { return held_.has_value(); }
    // The program is ending: a restore still held back happens now.
    void restoreNow();
    // What the program serves on the selection now, when that is the user's content it put back
    // (never an inserted date); empty when another program owns it.
    PasteboardSnapshot ownedContent(bool primary);

    // Bounds, shortened by tests.
    std::chrono::milliseconds minDelayAfterChord{150};
    std::chrono::milliseconds maxDelayAfterChord{1000};
    std::chrono::milliseconds maxWaitForChord{2000};
    std::chrono::milliseconds maxPreparedAge{3000};

private:
    PasteboardSnapshot read(QClipboard::Mode mode);
    // The user's content, read ahead when still fresh, else now.
    PasteboardSnapshot readUsersClipboard();
    void write(const PasteboardSnapshot& snapshot, QClipboard::Mode mode);
    bool ours(QClipboard::Mode mode) const;
    void putDateOnPrimary();
    void beginRun();
    bool allFetched() const;
    void evaluate();
    void apply();
    void restorePrimary();

    PasteTracker& tracker_;
    std::function<bool(bool)> ownerAnswers_;
    std::string lastText_;
    const QMimeData* ourClipboard_ = nullptr;
    const QMimeData* ourPrimary_ = nullptr;
    std::optional<PasteboardSnapshot> original_;
    std::optional<PasteboardSnapshot> primaryOriginal_;
    int chordsAtSetText_ = 0;
    int chordsAtRunStart_ = 0;
    int fetchesInRun_ = 0;
    std::optional<PasteboardSnapshot> held_;
    std::optional<PasteboardSnapshot> prepared_;
    std::chrono::steady_clock::time_point preparedAt_{};
    std::chrono::steady_clock::time_point heldSince_{};
    QTimer timer_;
};

}  // namespace orvalin
