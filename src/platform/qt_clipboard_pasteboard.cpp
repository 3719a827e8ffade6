#include "platform/qt_clipboard_pasteboard.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <iostream>
#include <utility>

#include "platform/selection_reader.h"

namespace orvalin {

namespace {

// Clipboard managers keep no history of content carrying these: Klipper reads the first, CopyQ
// the second.
constexpr const char* kTransientHint = "x-kde-passwordManagerHint";
constexpr const char* kCopyqHidden = "application/x-copyq-hidden";

// Names that describe the selection rather than hold content, and Qt's private image alias (the
// image travels in its real image/* formats). The managers' markers are kept: a password copied
// from a password manager must stay out of their history once it is back.
bool isContentFormat(const QString& format) {
    static const QStringList kSkipped = {"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS",
                                         "application/x-qt-image"};
    return !format.isEmpty() && !kSkipped.contains(format);
}

// Longer than any owner that answers takes for one format.
constexpr std::chrono::milliseconds kSlowRead{1000};

PasteboardSnapshot unreadable() {
    PasteboardSnapshot snap;
    snap.unreadable = true;
    return snap;
}

// The inserted date as plain text, marked so that no clipboard manager keeps it.
QMimeData* transientText(const std::string& text) {
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    // GTK asks for this name first; answered, it fetches once, so the user's keys held until the
    // fetch come after the date.
    data->setData("text/plain;charset=utf-8", QByteArray::fromStdString(text));
    data->setData(kTransientHint, "secret");
    data->setData(kCopyqHidden, "1");
    return data;
}

// Content read from the X server names its text targets as X does; Qt serves plain text under
// "text/plain" and derives those targets from it. The older encodings stay as they came only
// when no plain text carries the content.
QMimeData* toMimeData(const PasteboardSnapshot& snapshot) {
    const bool plain = std::any_of(snapshot.items.begin(), snapshot.items.end(), [](const auto& item) {
        return item.first == "UTF8_STRING" || item.first == "STRING";
    });
    auto* data = new QMimeData;
    for (const auto& [type, bytes] : snapshot.items) {
        const QByteArray value(bytes.data(), static_cast<qsizetype>(bytes.size()));
        if (type == "UTF8_STRING") {
            data->setData("text/plain", value);
        } else if (type == "STRING") {
            if (!data->hasFormat("text/plain"))
                data->setData("text/plain", QString::fromLatin1(value).toUtf8());
        } else if (!plain || (type != "TEXT" && type != "COMPOUND_TEXT")) {
            data->setData(QString::fromStdString(type), value);
        }
    }
    return data;
}

}  // namespace

QtClipboardPasteboard::QtClipboardPasteboard(SelectionReader* reader) : reader_(reader) {
    // Content read ahead is stale once someone else copies; a read under way starts over.
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, &context_,
                     [this](QClipboard::Mode mode) {
                         if (mode == QClipboard::FindBuffer) return;
                         const bool primary = mode == QClipboard::Selection;
                         ahead_[primary ? 1 : 0].content.reset();
                         if (reader_ != nullptr && reader_->reading(primary)) readAhead(primary);
                     });
}

QtClipboardPasteboard::~QtClipboardPasteboard() = default;

PasteboardSnapshot QtClipboardPasteboard::ownedContent(bool primary) {
    const QClipboard::Mode mode = primary ? QClipboard::Selection : QClipboard::Clipboard;
    QClipboard* cb = QGuiApplication::clipboard();
    const bool owned = primary ? cb->ownsSelection() : cb->ownsClipboard();
    if (!owned || ours(mode)) return {};
    return read(mode);
}

bool QtClipboardPasteboard::ours(QClipboard::Mode mode) const {
    const QMimeData* mine = mode == QClipboard::Clipboard ? ourClipboard_ : ourPrimary_;
    QClipboard* cb = QGuiApplication::clipboard();
    if (mine == nullptr) return false;
    bool owns = mode == QClipboard::Clipboard ? cb->ownsClipboard() : cb->ownsSelection();
    return owns && cb->mimeData(mode) == mine;
}

PasteboardSnapshot QtClipboardPasteboard::read(QClipboard::Mode mode) {
    PasteboardSnapshot snap;
    QClipboard* cb = QGuiApplication::clipboard();
    const QMimeData* data = cb->mimeData(mode);
    if (data == nullptr) return snap;
    for (const QString& format : data->formats()) {
        if (!isContentFormat(format)) continue;
        const auto asked = std::chrono::steady_clock::now();
        QByteArray bytes = data->data(format);
        if (bytes.isEmpty()) {
            // An owner that lists a format but does not send it: Qt waited for it in vain, and
            // would again for every other format. What was read is not the user's whole content,
            // and restoring it would lose the rest. (An empty copy answers at once.)
            if (std::chrono::steady_clock::now() - asked > kSlowRead) return unreadable();
            continue;
        }
        snap.items.emplace_back(format.toStdString(),
                                std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
    return snap;
}

bool QtClipboardPasteboard::owned(bool primary) const {
    QClipboard* cb = QGuiApplication::clipboard();
    return primary ? cb->ownsSelection() : cb->ownsClipboard();
}

bool QtClipboardPasteboard::keepsUsersContent() const {
    return ours(QClipboard::Clipboard) && original_;
}

bool QtClipboardPasteboard::fresh(bool primary) const {
    const ReadAhead& a = ahead_[primary ? 1 : 0];
    return a.content && std::chrono::steady_clock::now() - a.at < maxPreparedAge;
}

void QtClipboardPasteboard::prepare() {
    if (reader_ == nullptr) return;
    // Nothing to read while an insertion keeps the user's content already.
    if (!original_) ensureRead(false);
    ensureRead(true);
}

// Nothing to read when the program owns the selection itself (its date, or the user's content
// it put back).
void QtClipboardPasteboard::ensureRead(bool primary) {
    if (primary && !QGuiApplication::clipboard()->supportsSelection()) return;
    if (!owned(primary) && !fresh(primary) && !reader_->reading(primary)) readAhead(primary);
}

void QtClipboardPasteboard::readAhead(bool primary) {
    reader_->start(primary, [this, primary](PasteboardSnapshot content) {
        ReadAhead& a = ahead_[primary ? 1 : 0];
        a.content = std::move(content);
        a.at = std::chrono::steady_clock::now();
        // Away from the X event being handled: the insertion that follows talks to the server.
        QTimer::singleShot(0, &context_, [this] { handOver(); });
    });
}

void QtClipboardPasteboard::snapshotWhenReady(std::function<void(PasteboardSnapshot)> ready) {
    if (reader_ == nullptr) {
        ready(snapshot());
        return;
    }
    waiter_ = std::move(ready);
    // The primary selection too: a terminal's paste takes the date from there. The clipboard is
    // asked for by handOver().
    ensureRead(true);
    handOver();
}

void QtClipboardPasteboard::handOver() {
    if (!waiter_) return;
    // Content read ahead may have gone stale while the other selection was read.
    if (!keepsUsersContent()) ensureRead(false);
    if (reader_->reading(false) || reader_->reading(true)) return;
    std::exchange(waiter_, nullptr)(take(false));
}

PasteboardSnapshot QtClipboardPasteboard::readForeign(bool primary, bool wait) {
    ReadAhead& a = ahead_[primary ? 1 : 0];
    if (!fresh(primary) && wait) {
        if (!reader_->reading(primary)) readAhead(primary);
        reader_->settle(primary, std::chrono::hours(1));  // the reader's own bound ends it
    }
    if (!fresh(primary)) return unreadable();
    PasteboardSnapshot ready = std::move(*a.content);
    a.content.reset();
    return ready;
}

bool QtClipboardPasteboard::primaryUnreadable() const {
    const std::optional<PasteboardSnapshot>& primary = ahead_[1].content;
    return !owned(true) && fresh(true) && primary->unreadable;
}

PasteboardSnapshot QtClipboardPasteboard::readUsers(QClipboard::Mode mode, bool wait) {
    const bool primary = mode == QClipboard::Selection;
    if (owned(primary) || reader_ == nullptr) return read(mode);
    return readForeign(primary, wait);
}

PasteboardSnapshot QtClipboardPasteboard::snapshot() {
    return take(true);
}

PasteboardSnapshot QtClipboardPasteboard::take(bool wait) {
    if (keepsUsersContent()) return *original_;
    PasteboardSnapshot saved = readUsers(QClipboard::Clipboard, wait);
    // A terminal pastes from the primary selection: one that could not be read would be pasted
    // in place of the date, or lost.
    QString silent;
    if (saved.unreadable) {
        silent = QCoreApplication::translate(
            "orvalin",
            "orvalin : le programme qui tient le presse-papiers ne répond pas ; rien "
            "n'est inséré, pour ne pas perdre son contenu");
    } else if (!wait && primaryUnreadable()) {
        silent = QCoreApplication::translate(
            "orvalin",
            "orvalin : le programme qui tient la sélection ne répond pas ; rien n'est "
            "inséré, pour ne pas perdre son contenu");
    }
    if (!silent.isEmpty()) {
        std::cerr << silent.toStdString() << "\n";
        return unreadable();
    }
    original_ = std::move(saved);
    return *original_;
}

void QtClipboardPasteboard::setText(std::string_view text) {
    // The engine snapshots before setting; without one the current content is what to keep.
    if (!ours(QClipboard::Clipboard) && !original_) original_ = readUsers(QClipboard::Clipboard, true);
    lastText_.assign(text);
    QMimeData* data = transientText(lastText_);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    ourClipboard_ = data;
}

void QtClipboardPasteboard::putDateOnPrimary() {
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb->supportsSelection()) return;
    if (!ours(QClipboard::Selection)) {
        // Read before the insertion began; the paste waits for no read still under way.
        PasteboardSnapshot saved = readUsers(QClipboard::Selection, !reader_ || !reader_->reading(true));
        if (saved.unreadable) {
            // Taking it would lose what it holds: the paste gets that instead of the date.
            std::cerr << QCoreApplication::translate(
                             "orvalin",
                             "orvalin : le programme qui tient la sélection ne répond pas ; "
                             "elle est laissée telle quelle")
                             .toStdString()
                      << "\n";
            return;
        }
        primaryOriginal_ = std::move(saved);
    }
    QMimeData* data = transientText(lastText_);
    cb->setMimeData(data, QClipboard::Selection);
    ourPrimary_ = data;
}

bool QtClipboardPasteboard::dateReplaced() const {
    return ourClipboard_ != nullptr && !ours(QClipboard::Clipboard);
}

void QtClipboardPasteboard::write(const PasteboardSnapshot& snapshot, QClipboard::Mode mode) {
    QClipboard* cb = QGuiApplication::clipboard();
    // Content that could not be read is left as it is, never put back as nothing.
    if (snapshot.unreadable) return;
    if (snapshot.empty()) {
        cb->clear(mode);
        return;
    }
    cb->setMimeData(toMimeData(snapshot), mode);
}

void QtClipboardPasteboard::restore(const PasteboardSnapshot& saved) {
    // Someone copied something since the text went on: theirs is the newer content. The
    // selection still holding the text gets the user's back all the same.
    if (!dateReplaced()) write(saved, QClipboard::Clipboard);
    ourClipboard_ = nullptr;
    original_.reset();
    restorePrimary();
}

void QtClipboardPasteboard::restorePrimary() {
    if (!primaryOriginal_) return;
    // A selection made since then is the user's newer choice.
    if (ours(QClipboard::Selection)) write(*primaryOriginal_, QClipboard::Selection);
    primaryOriginal_.reset();
    ourPrimary_ = nullptr;
}

}  // namespace orvalin
