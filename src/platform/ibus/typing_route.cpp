#include "platform/ibus/typing_route.h"

#include <algorithm>
#include <utility>

#include "core/shortcut.h"
#include "core/virtual_keys.h"
#include "engine/trigger_buffer.h"

namespace orvalin::ibus {

namespace {

// Enough keys, and enough of the field's report, to check any trigger against it; no more of
// either is kept.
constexpr std::size_t kRecentKeys = TriggerBuffer::kMaxGraphemes;
constexpr std::size_t kReportKept = 64 * kRecentKeys;  // bytes: room for long clusters

std::string joined(std::vector<std::string>::const_iterator from,
                   std::vector<std::string>::const_iterator to) {
    std::string text;
    for (auto it = from; it != to; ++it) text += *it;
    return text;
}

std::size_t codePoints(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool printable(std::string_view text) {
    return !text.empty() && static_cast<unsigned char>(text.front()) >= 0x20 && text.front() != 0x7F;
}

}  // namespace

TypingRoute::TypingRoute(Scheduler& scheduler) : scheduler_(scheduler) {}

TypingRoute::~TypingRoute() {
    cancelPendingDate();
    for (Scheduler::TimerId id : {settleTimer_, answerTimer_, resumeTimer_}) {
        if (id != 0) scheduler_.cancel(id);
    }
}

void TypingRoute::setWatching(bool watching) {
    if (watching == watching_) return;
    if (!watching && field_ != nullptr) {
        liftWait();
        commitHeld();
    }
    watching_ = watching;
}

void TypingRoute::setTriggers(std::vector<std::string> triggers, std::vector<Chord> chords) {
    triggers_ = std::move(triggers);
    chords_ = std::move(chords);
    if (field_ != nullptr && !held_.empty() && !beginsTrigger(joined(held_.begin(), held_.end())))
        commitHeld();
}

// ---- The focused field

void TypingRoute::focusIn(FieldWriter& field, bool secret) {
    if (field_ != nullptr) forgetField();
    field_ = &field;
    secret_ = secret;
    if (pendingDate_ && settleTimer_ == 0) {
        settleTimer_ = scheduler_.scheduleOnce(kFocusSettle, [this] {
            settleTimer_ = 0;
            deliverPendingDate();
        });
    }
    if (focused_) focused_();
}

void TypingRoute::focusOut(FieldWriter& field) {
    if (&field == field_) forgetField();
}

// Preedit still shown stays the field's: it commits it itself as the focus leaves.
void TypingRoute::forgetField() {
    liftWait();
    field_ = nullptr;
    secret_ = false;
    held_.clear();
    recent_.clear();
    before_.reset();
    reportSinceKey_ = false;
    committedLate_ = false;
    if (settleTimer_ != 0) scheduler_.cancel(settleTimer_);
    settleTimer_ = 0;
}

void TypingRoute::setSecret(FieldWriter& field, bool secret) {
    if (&field != field_ || secret == secret_) return;
    if (secret) {
        liftWait();
        commitHeld();
        recent_.clear();
        before_.reset();
    }
    secret_ = secret;
}

void TypingRoute::setTextBeforeCursor(FieldWriter& field, std::string before) {
    if (&field != field_ || secret_) return;
    if (before.size() > kReportKept) {
        std::size_t from = before.size() - kReportKept;
        while (from < before.size() && (static_cast<unsigned char>(before[from]) & 0xC0) == 0x80) ++from;
        before.erase(0, from);
    }
    before_ = std::move(before);
    reportSinceKey_ = true;
}

void TypingRoute::reset(FieldWriter& field) {
    if (&field != field_) return;
    liftWait();
    held_.clear();
    recent_.clear();
    before_.reset();
    reportSinceKey_ = false;
}

// ---- Keys

TypingRoute::Verdict TypingRoute::key(FieldWriter& field, const KeyEvent& event, bool composing) {
    if (deferring_) return Verdict::Wait;
    if (!watches(field)) return Verdict::Pass;
    if (waiting()) {
        if (typesText(event, composing)) {
            typedAhead_.push_back({event.keyCode, event.modifiers, std::string(event.characters)});
            return Verdict::Take;
        }
        deferring_ = true;
        return Verdict::Wait;
    }
    const std::uint64_t id = ++lastKey_;
    Verdict verdict = decide(event, composing, id);
    // Text committed outside a key may still be on its way to a client that waits for each key's
    // answer (GTK's sync mode) and would type the key first: the key's text follows it instead.
    if (std::exchange(committedLate_, false) && verdict == Verdict::Pass && typesText(event, composing)) {
        field_->commit(event.characters);
        verdict = Verdict::Take;
    }
    if (handoff_) handoff_(event, id, awaited_ == id);
    return verdict;
}

TypingRoute::Verdict TypingRoute::decide(const KeyEvent& event, bool composing, std::uint64_t id) {
    const bool modified = (event.modifiers & (modifier::kControl | modifier::kAlt | modifier::kSuper)) != 0;
    if (event.keyCode == vkey::kBackspace && (event.modifiers & modifier::kMask) == 0) {
        if (!held_.empty()) {
            held_.pop_back();
            showHeld();
            return Verdict::Take;
        }
        if (!recent_.empty()) recent_.pop_back();
        reportSinceKey_ = false;
        return Verdict::Pass;
    }
    const bool chord = isChord(event);
    // A trigger's last letter may end a dead-key sequence.
    if (!chord && !modified && printable(event.characters) && endsTrigger(event.characters)) {
        await(id, Awaits::Trigger, event.characters);
        return Verdict::Take;
    }
    if (chord || composing || modified || !printable(event.characters)) {
        // Anything else may act on the text: what is held goes first, and nothing before the
        // cursor is known any more.
        commitHeld();
        recent_.clear();
        reportSinceKey_ = false;
        if (chord) await(id, Awaits::Chord, {});
        return Verdict::Pass;
    }
    return holdOrPass(event.characters);
}

TypingRoute::Verdict TypingRoute::holdOrPass(std::string_view characters) {
    if (held_.empty() && (!beginsTrigger(characters) || reportsFollowTyping())) {
        passed(std::string(characters));
        return Verdict::Pass;
    }
    // The longest end of what is held and this key that may still become a trigger stays held;
    // the rest goes in unchanged, in order.
    held_.emplace_back(characters);
    std::string tail = joined(held_.begin(), held_.end());
    std::size_t keep = 0;
    for (; keep < held_.size(); ++keep) {
        if (beginsTrigger(tail)) break;
        tail.erase(0, held_[keep].size());
    }
    std::string released = joined(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(keep));
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(keep));
    if (!released.empty()) {
        field_->commit(released);
        passed(std::move(released));
    }
    showHeld();
    return Verdict::Take;
}

bool TypingRoute::beginsTrigger(std::string_view text) const {
    if (text.empty()) return false;
    return std::any_of(triggers_.begin(), triggers_.end(),
                       [&](const std::string& t) { return t.size() > text.size() && t.starts_with(text); });
}

// The key ends a trigger with the keys that reached the field or are held before it: the engine,
// which sees the same keys, may answer it with a date.
bool TypingRoute::endsTrigger(std::string_view characters) const {
    auto consume = [](std::string_view& rest, const std::vector<std::string>& keys) {
        for (auto it = keys.rbegin(); it != keys.rend() && !rest.empty(); ++it) {
            if (!rest.ends_with(*it)) return false;
            rest.remove_suffix(it->size());
        }
        return true;
    };
    return std::any_of(triggers_.begin(), triggers_.end(), [&](const std::string& trigger) {
        if (!trigger.ends_with(characters)) return false;
        std::string_view rest(trigger.data(), trigger.size() - characters.size());
        return consume(rest, held_) && consume(rest, recent_) && rest.empty();
    });
}

bool TypingRoute::isChord(const KeyEvent& event) const {
    const std::uint32_t modifiers = event.modifiers & modifier::kMask;
    return std::any_of(chords_.begin(), chords_.end(), [&](const Chord& c) {
        return c.keyCode == event.keyCode && c.modifiers == modifiers;
    });
}

// The field's reports keep up with the keys: its last one came after the last key and shows it.
bool TypingRoute::reportsFollowTyping() const {
    return !recent_.empty() && reportEndsWith(1);
}

bool TypingRoute::reportEndsWith(std::size_t keys) const {
    if (!before_ || !reportSinceKey_ || recent_.size() < keys) return false;
    return before_->ends_with(joined(recent_.end() - static_cast<std::ptrdiff_t>(keys), recent_.end()));
}

void TypingRoute::passed(std::string text) {
    recent_.push_back(std::move(text));
    if (recent_.size() > kRecentKeys) recent_.erase(recent_.begin());
    reportSinceKey_ = false;
}

void TypingRoute::showHeld() {
    if (held_.empty()) {
        field_->hidePreedit();
    } else {
        field_->showPreedit(joined(held_.begin(), held_.end()));
    }
}

void TypingRoute::commitHeld(std::string_view after) {
    if (field_ == nullptr) return;
    std::string text = joined(held_.begin(), held_.end());
    if (!held_.empty()) {
        held_.clear();
        field_->hidePreedit();
    }
    text += after;
    if (text.empty()) return;
    field_->commit(text);
    passed(std::move(text));
}

// ---- Waiting for the engine

void TypingRoute::await(std::uint64_t id, Awaits what, std::string_view characters) {
    awaited_ = id;
    awaits_ = what;
    awaitedCharacters_ = characters;
    answerTimer_ = scheduler_.scheduleOnce(kAnswerBound, [this] {
        answerTimer_ = 0;
        stopWaiting(std::nullopt);
    });
}

void TypingRoute::answer(std::uint64_t id, std::optional<Insertion> insertion) {
    // An answer that comes for no awaited key, or too late, finds the text moved on: dropped.
    if (id == 0 || id != awaited_) return;
    stopWaiting(std::move(insertion));
}

// The field still has the focus when the wait ends early: the taken key goes in as typed.
void TypingRoute::liftWait() {
    while (waiting()) stopWaiting(std::nullopt);
}

// Text typed during the wait goes in now, in order, as if typed now; it may begin another wait.
void TypingRoute::catchUp() {
    while (!waiting() && !typedAhead_.empty()) {
        const Typed key = std::move(typedAhead_.front());
        typedAhead_.erase(typedAhead_.begin());
        if (field_ == nullptr || secret_) continue;
        const KeyEvent event{key.keyCode, key.modifiers, key.characters};
        const std::uint64_t id = ++lastKey_;
        if (decide(event, false, id) == Verdict::Pass) field_->commit(key.characters);
        if (handoff_) handoff_(event, id, awaited_ == id);
    }
}

bool TypingRoute::typesText(const KeyEvent& event, bool composing) const {
    const bool modified = (event.modifiers & (modifier::kControl | modifier::kAlt | modifier::kSuper)) != 0;
    return !composing && !modified && printable(event.characters) && event.keyCode != vkey::kBackspace &&
           !isChord(event);
}

void TypingRoute::stopWaiting(std::optional<Insertion> insertion) {
    if (answerTimer_ != 0) scheduler_.cancel(answerTimer_);
    answerTimer_ = 0;
    awaited_ = 0;
    const std::string typed = std::exchange(awaitedCharacters_, {});
    if (field_ != nullptr && !secret_) {
        const bool date = insertion && insertion->erase == 0;
        if (awaits_ == Awaits::Chord) {
            if (date) commitHeld(insertion->text);
        } else if (!insertion || date || !insertTrigger(insertion->erase, insertion->text)) {
            if (date) commitHeld(insertion->text);
            commitTyped(typed);  // the trigger stays as typed
        }
    }
    catchUp();
    committedLate_ = field_ != nullptr;
    if (waiting() || !deferring_) return;
    deferring_ = false;
    // Offered again from the loop, once whoever ended the wait is done with the route.
    if (resume_ && resumeTimer_ == 0) {
        resumeTimer_ = scheduler_.scheduleOnce(Scheduler::Duration{0}, [this] {
            resumeTimer_ = 0;
            resume_();
        });
    }
}

// ---- Insertions

void TypingRoute::insertText(std::size_t erase, std::string_view text) {
    // Outside a key nothing says what the characters to erase would be.
    if (erase > 0) return;
    if (field_ != nullptr && !secret_) {
        commitHeld(text);
        committedLate_ = true;
        return;
    }
    pendingDate_ = pendingDate_.value_or("") + std::string(text);
    if (pendingTimer_ != 0) scheduler_.cancel(pendingTimer_);
    pendingTimer_ = scheduler_.scheduleOnce(kPendingDateLifetime, [this] {
        pendingTimer_ = 0;
        pendingDate_.reset();
        if (dropped_) dropped_();
    });
}

// The answered key was the trigger's last character, taken: only the keys before it are erased.
bool TypingRoute::insertTrigger(std::size_t erase, std::string_view text) {
    const std::size_t before = erase - 1;
    if (held_.size() >= before) {
        const bool shown = !held_.empty();
        held_.resize(held_.size() - before);
        if (shown && held_.empty()) field_->hidePreedit();
        commitHeld(text);
        return true;
    }
    if (held_.empty() && eraseBeforeCursor(before)) {
        field_->commit(text);
        passed(std::string(text));
        return true;
    }
    // What precedes the cursor is not known to be the trigger: it stays as typed.
    return false;
}

// A taken key that brought no date goes in as it would have at once.
void TypingRoute::commitTyped(std::string_view characters) {
    if (!characters.empty() && holdOrPass(characters) == Verdict::Pass) field_->commit(characters);
}

bool TypingRoute::eraseBeforeCursor(std::size_t keys) {
    if (keys == 0) return true;
    if (!reportEndsWith(keys)) return false;
    const auto from = recent_.end() - static_cast<std::ptrdiff_t>(keys);
    field_->deleteBeforeCursor(codePoints(joined(from, recent_.end())));
    recent_.erase(from, recent_.end());
    return true;
}

void TypingRoute::deliverPendingDate() {
    if (!pendingDate_ || field_ == nullptr || secret_) return;
    std::string date = std::move(*pendingDate_);
    cancelPendingDate();
    commitHeld(date);
    committedLate_ = true;
}

void TypingRoute::cancelPendingDate() {
    pendingDate_.reset();
    if (pendingTimer_ != 0) scheduler_.cancel(pendingTimer_);
    pendingTimer_ = 0;
}

}  // namespace orvalin::ibus
