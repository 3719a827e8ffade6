#pragma once

#include <QClipboard>
#include <QObject>
#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "engine/platform.h"

class QMimeData;

namespace orvalin {

class SelectionReader;

// The CLIPBOARD selection through QClipboard.
//
// A snapshot holds every format the owner offers, with its bytes. The date goes on as plain text
// marked transient for clipboard managers. A restore is done at once; when to ask for it is the
// paste sequence's matter (x11/paste_sequence.h). While the program's own date is still on the
// clipboard, a snapshot gives what the user had before it, so insertions back to back never take
// the date for the user's content. A restore finding that someone else copied something
// meanwhile leaves that new content alone.
class QtClipboardPasteboard final : public Pasteboard {
public:
    // `reader` reads the selections other programs own without holding the program up; without
    // one, Qt reads them (and waits for their owners).
    explicit QtClipboardPasteboard(SelectionReader* reader = nullptr);
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

    // The next paste reads the primary selection (terminals that paste it with Shift+Insert): the
    // date goes there too, and the user's selection comes back with the restore.
    void putDateOnPrimary();
    // The clipboard holds an inserted text while the user's content is kept for its restore.
    bool keepsUsersContent() const;
    // Someone copied something since the text went on.
    bool dateReplaced() const;
    // What the program serves on the selection now, when that is the user's content it put back
    // (never an inserted date); empty when another program owns it.
    PasteboardSnapshot ownedContent(bool primary);

    // How long content read ahead stays good.
    std::chrono::milliseconds maxPreparedAge{3000};

private:
    PasteboardSnapshot read(QClipboard::Mode mode);
    // The user's clipboard, kept until the insertions restore it. Without `wait`, content not
    // read yet is unreadable.
    PasteboardSnapshot take(bool wait);
    // The user's content on a selection, read ahead when still fresh, else now.
    PasteboardSnapshot readUsers(QClipboard::Mode mode, bool wait);
    PasteboardSnapshot readForeign(bool primary, bool wait);
    bool fresh(bool primary) const;
    bool primaryUnreadable() const;
    bool owned(bool primary) const;
    void readAhead(bool primary);
    void ensureRead(bool primary);
    void handOver();
    void write(const PasteboardSnapshot& snapshot, QClipboard::Mode mode);
    bool ours(QClipboard::Mode mode) const;
    void restorePrimary();

    SelectionReader* reader_;
    std::string lastText_;
    const QMimeData* ourClipboard_ = nullptr;
    const QMimeData* ourPrimary_ = nullptr;
    std::optional<PasteboardSnapshot> original_;
    std::optional<PasteboardSnapshot> primaryOriginal_;
    // Another program's selection read ahead (CLIPBOARD, PRIMARY), and when it came.
    struct ReadAhead {
        std::optional<PasteboardSnapshot> content;
        std::chrono::steady_clock::time_point at{};
    };
    std::array<ReadAhead, 2> ahead_;
    std::function<void(PasteboardSnapshot)> waiter_;  // the snapshot asked for, not handed over yet
    QObject context_;                                 // owns the calls queued on the event loop
};

}  // namespace orvalin
