#include "platform/qt_clipboard_pasteboard.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>
#include <algorithm>
#include <iostream>
#include <utility>

#include "platform/paste_tracker.h"

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

}  // namespace

QtClipboardPasteboard::QtClipboardPasteboard(PasteTracker& tracker, std::function<bool(bool)> ownerAnswers)
    : tracker_(tracker), ownerAnswers_(std::move(ownerAnswers)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { evaluate(); });
    tracker_.onChordSent = [this] { evaluate(); };
    tracker_.putDateOnPrimary = [this] { putDateOnPrimary(); };
    // Content read ahead is stale once someone else copies.
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, &timer_,
                     [this](QClipboard::Mode mode) {
                         if (mode == QClipboard::Clipboard) prepared_.reset();
                     });
}

QtClipboardPasteboard::~QtClipboardPasteboard() {
    tracker_.onChordSent = nullptr;
    tracker_.putDateOnPrimary = nullptr;
    // Leaving now: the user's content goes back rather than staying replaced by a date.
    restoreNow();
}

void QtClipboardPasteboard::restoreNow() {
    if (held_) apply();
}

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
    bool owned = mode == QClipboard::Clipboard ? cb->ownsClipboard() : cb->ownsSelection();
    if (!owned && ownerAnswers_ && !ownerAnswers_(mode == QClipboard::Selection)) return unreadable();
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

void QtClipboardPasteboard::beginRun() {
    chordsAtRunStart_ = tracker_.chordsSent();
    fetchesInRun_ = 0;
}

void QtClipboardPasteboard::prepare() {
    QClipboard* cb = QGuiApplication::clipboard();
    if (cb->ownsClipboard() || original_ || prepared_) return;  // nothing slow to read
    prepared_ = read(QClipboard::Clipboard);
    preparedAt_ = std::chrono::steady_clock::now();
}

PasteboardSnapshot QtClipboardPasteboard::readUsersClipboard() {
    std::optional<PasteboardSnapshot> prepared = std::exchange(prepared_, std::nullopt);
    const bool fresh = std::chrono::steady_clock::now() - preparedAt_ < maxPreparedAge;
    if (prepared && fresh && !QGuiApplication::clipboard()->ownsClipboard()) return std::move(*prepared);
    return read(QClipboard::Clipboard);
}

PasteboardSnapshot QtClipboardPasteboard::snapshot() {
    if (ours(QClipboard::Clipboard) && original_) return *original_;
    PasteboardSnapshot saved = readUsersClipboard();
    if (saved.unreadable) {
        std::cerr << "orvalin : le programme qui tient le presse-papiers ne répond pas ; rien n'est "
                     "inséré, pour ne pas perdre son contenu\n";
        return saved;
    }
    original_ = std::move(saved);
    beginRun();
    return *original_;
}

void QtClipboardPasteboard::setText(std::string_view text) {
    // A restore still held back is replaced by the one that follows this insertion.
    held_.reset();
    timer_.stop();
    if (!ours(QClipboard::Clipboard)) {
        // The engine snapshots before setting; without one the current content is what to keep.
        if (!original_) {
            original_ = readUsersClipboard();
            beginRun();
        }
    }
    lastText_.assign(text);
    QMimeData* data = transientText(lastText_);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    ourClipboard_ = data;
    chordsAtSetText_ = tracker_.chordsSent();
}

void QtClipboardPasteboard::putDateOnPrimary() {
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb->supportsSelection()) return;
    if (!ours(QClipboard::Selection)) primaryOriginal_ = read(QClipboard::Selection);
    QMimeData* data = transientText(lastText_);
    cb->setMimeData(data, QClipboard::Selection);
    ourPrimary_ = data;
}

void QtClipboardPasteboard::restore(const PasteboardSnapshot& saved) {
    if (ourClipboard_ != nullptr && !ours(QClipboard::Clipboard)) {
        // Someone copied something new since the date went on: that is what the user wants now.
        // The selection still holding the date gets the user's back all the same.
        ourClipboard_ = nullptr;
        original_.reset();
        restorePrimary();
        return;
    }
    held_ = saved;
    heldSince_ = std::chrono::steady_clock::now();
    evaluate();
}

void QtClipboardPasteboard::dataFetched() {
    if (tracker_.chordsSent() <= chordsAtRunStart_) return;  // a clipboard manager looking, not a paste
    ++fetchesInRun_;
    // Let the request be answered first.
    if (held_) QTimer::singleShot(0, &timer_, [this] { evaluate(); });
}

bool QtClipboardPasteboard::allFetched() const {
    // Every paste of this run of insertions fetches once: with overlapping insertions, a fetch
    // for an earlier paste must not release the restore meant for a later one.
    return fetchesInRun_ >= tracker_.chordsSent() - chordsAtRunStart_;
}

void QtClipboardPasteboard::evaluate() {
    if (!held_) return;
    if (!tracker_.chordPending() && tracker_.lastChordFailed()) {
        apply();  // no paste went out, so nothing will fetch the date
        return;
    }
    using std::chrono::milliseconds;
    auto now = std::chrono::steady_clock::now();
    milliseconds wait{0};
    if (tracker_.chordPending() || tracker_.chordsSent() <= chordsAtSetText_) {
        // The chord has not gone out yet (the user still holds a modifier).
        auto deadline = heldSince_ + maxWaitForChord;
        if (now < deadline) wait = std::chrono::ceil<milliseconds>(deadline - now);
    } else {
        auto sent = tracker_.lastChordSent();
        auto earliest = sent + minDelayAfterChord;
        auto latest =
            std::max(sent + maxDelayAfterChord, heldSince_ + maxDelayAfterChord - minDelayAfterChord);
        // Rounded up: a timer firing a fraction of a millisecond early must wait again, not
        // restore before the target could fetch the date.
        if (now < earliest) {
            wait = std::chrono::ceil<milliseconds>(earliest - now);
        } else if (!allFetched() && now < latest) {
            wait = std::chrono::ceil<milliseconds>(latest - now);
        }
    }
    if (wait.count() > 0) {
        timer_.start(wait + milliseconds(1));
        return;
    }
    apply();
}

void QtClipboardPasteboard::write(const PasteboardSnapshot& snapshot, QClipboard::Mode mode) {
    QClipboard* cb = QGuiApplication::clipboard();
    if (snapshot.empty()) {
        cb->clear(mode);
        return;
    }
    auto* data = new QMimeData;
    for (const auto& [type, bytes] : snapshot.items) {
        data->setData(QString::fromStdString(type),
                      QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    cb->setMimeData(data, mode);
}

void QtClipboardPasteboard::apply() {
    timer_.stop();
    PasteboardSnapshot saved = std::move(*held_);
    held_.reset();
    // Someone copied something while the restore was held back: theirs is the newer content.
    if (ourClipboard_ == nullptr || ours(QClipboard::Clipboard)) write(saved, QClipboard::Clipboard);
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
