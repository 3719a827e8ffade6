#pragma once

#include <QClipboard>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "engine/platform.h"

class QMimeData;

namespace orvalin {

class PasteTracker;
class SelectionReader;

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
    // `reader` reads the selections other programs own without holding the program up; without
    // one, Qt reads them (and waits for their owners).
    explicit QtClipboardPasteboard(PasteTracker& tracker, SelectionReader* reader = nullptr);
    ~QtClipboardPasteboard() override;

    // Waits for another program's content (at most the reader's bound): for the few callers
    // outside the key path.
    PasteboardSnapshot snapshot() override;
    // Hands the content over once every selection the insertion may touch is read.
    void snapshotWhenReady(std::function<void(PasteboardSnapshot)> ready) override;
    void cancelSnapshot() override { waiter_ = nullptr; }
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
    // The user's clipboard, kept until the insertions restore it. Without `wait`, content not
    // read yet is unreadable.
    PasteboardSnapshot take(bool wait);
    // The user's content on a selection, read ahead when still fresh, else now.
    PasteboardSnapshot readUsers(QClipboard::Mode mode, bool wait);
    PasteboardSnapshot readForeign(bool primary, bool wait);
    bool keepsUsersContent() const;
    bool fresh(bool primary) const;
    bool primaryUnreadable() const;
    bool owned(bool primary) const;
    void readAhead(bool primary);
    void ensureRead(bool primary);
    void handOver();
    void write(const PasteboardSnapshot& snapshot, QClipboard::Mode mode);
    bool ours(QClipboard::Mode mode) const;
    void putDateOnPrimary();
    void beginRun();
    bool allFetched() const;
    void evaluate();
    void apply();
    void restorePrimary();

    PasteTracker& tracker_;
    SelectionReader* reader_;
    std::string lastText_;
    const QMimeData* ourClipboard_ = nullptr;
    const QMimeData* ourPrimary_ = nullptr;
    std::optional<PasteboardSnapshot> original_;
    std::optional<PasteboardSnapshot> primaryOriginal_;
    int chordsAtSetText_ = 0;
    int chordsAtRunStart_ = 0;
    int fetchesInRun_ = 0;
    std::optional<PasteboardSnapshot> held_;
    // Another program's selection read ahead (CLIPBOARD, PRIMARY), and when it came.
    struct ReadAhead {
        std::optional<PasteboardSnapshot> content;
        std::chrono::steady_clock::time_point at{};
    };
    std::array<ReadAhead, 2> ahead_;
    std::function<void(PasteboardSnapshot)> waiter_;  // the snapshot asked for, not handed over yet
    std::chrono::steady_clock::time_point heldSince_{};
    QTimer timer_;
};

}  // namespace orvalin
