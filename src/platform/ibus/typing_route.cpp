#include "platform/ibus/typing_route.h"

#include <algorithm>

#include "core/shortcut.h"
#include "core/virtual_keys.h"

namespace orvalin::ibus {

namespace {

// Enough keys, and enough of the field's report, to check any trigger against it; no more of
// either is kept.
constexpr std::size_t kRecentKeys = TextExpansionManager::kMaxBufferLength;
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
    if (settleTimer_ != 0) scheduler_.cancel(settleTimer_);
}

bool TypingRoute::start(Handler handler) {
    if (handler_) return false;
    handler_ = std::move(handler);
    return true;
}

void TypingRoute::stop() {
    handler_ = nullptr;
    if (field_ != nullptr) commitHeld();
}

void TypingRoute::setTriggers(std::vector<std::string> triggers) {
    triggers_ = std::move(triggers);
    if (field_ != nullptr && !held_.empty() && !beginsTrigger(held_)) commitHeld();
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
    field_ = nullptr;
    secret_ = false;
    held_.clear();
    recent_.clear();
    before_.reset();
    reportSinceKey_ = false;
    if (settleTimer_ != 0) scheduler_.cancel(settleTimer_);
    settleTimer_ = 0;
}

void TypingRoute::setSecret(FieldWriter& field, bool secret) {
    if (&field != field_ || secret == secret_) return;
    if (secret) {
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
    held_.clear();
    recent_.clear();
    before_.reset();
    reportSinceKey_ = false;
}

// ---- Keys

TypingRoute::Verdict TypingRoute::key(FieldWriter& field, const KeyEvent& event, bool composing) {
    if (!watches(field) || (ignored_ && ignored_())) return Verdict::Pass;
    KeyInFlight inFlight{event.characters};
    current_ = &inFlight;
    Handler handler = handler_;  // the handler may stop the monitor
    handler(event);
    current_ = nullptr;
    if (inFlight.taken) return Verdict::Take;
    if (field_ == nullptr) return Verdict::Pass;

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
    if (composing || modified || !printable(event.characters)) {
        // Anything else may act on the text: what is held goes first, and nothing before the
        // cursor is known any more.
        commitHeld();
        recent_.clear();
        reportSinceKey_ = false;
        return Verdict::Pass;
    }
    return holdOrPass(event.characters);
}

TypingRoute::Verdict TypingRoute::holdOrPass(std::string_view characters) {
    std::vector<std::string> keys = held_;
    keys.emplace_back(characters);
    if (held_.empty()) {
        if (!beginsTrigger(keys) || reportsFollowTyping()) {
            passed(std::string(characters));
            return Verdict::Pass;
        }
    }
    // The longest end of what is held and this key that may still become a trigger stays held;
    // the rest goes in unchanged, in order.
    std::size_t keep = keys.size();
    for (std::size_t from = 0; from < keys.size(); ++from) {
        if (beginsTrigger(
                std::vector<std::string>(keys.begin() + static_cast<std::ptrdiff_t>(from), keys.end()))) {
            keep = from;
            break;
        }
    }
    held_.assign(keys.begin() + static_cast<std::ptrdiff_t>(keep), keys.end());
    std::string released = joined(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(keep));
    if (!released.empty()) {
        field_->commit(released);
        passed(std::move(released));
    }
    showHeld();
    return Verdict::Take;
}

bool TypingRoute::beginsTrigger(const std::vector<std::string>& keys) const {
    const std::string text = joined(keys.begin(), keys.end());
    if (text.empty()) return false;
    return std::any_of(triggers_.begin(), triggers_.end(),
                       [&](const std::string& t) { return t.size() > text.size() && t.starts_with(text); });
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

// ---- Insertions

bool TypingRoute::insertText(std::size_t erase, std::string_view text) {
    if (current_ != nullptr) return insertDuringKey(*current_, erase, text);
    // Outside a key nothing says what the characters to erase would be.
    if (erase > 0) return false;
    if (field_ != nullptr && !secret_) {
        commitHeld(text);
        return true;
    }
    pendingDate_ = pendingDate_.value_or("") + std::string(text);
    if (pendingTimer_ != 0) scheduler_.cancel(pendingTimer_);
    pendingTimer_ = scheduler_.scheduleOnce(kPendingDateLifetime, [this] {
        pendingTimer_ = 0;
        pendingDate_.reset();
        if (dropped_) dropped_();
    });
    return true;
}

// The key in flight is the trigger's last character: it is taken, and only the keys before it
// are erased.
bool TypingRoute::insertDuringKey(KeyInFlight& key, std::size_t erase, std::string_view text) {
    if (field_ == nullptr || secret_) return false;
    if (erase == 0) {
        commitHeld(text);
        return true;
    }
    const std::size_t before = erase - 1;
    if (held_.size() >= before) {
        const bool shown = !held_.empty();
        held_.resize(held_.size() - before);
        if (shown && held_.empty()) field_->hidePreedit();
        commitHeld(text);
    } else if (held_.empty() && eraseBeforeCursor(before)) {
        field_->commit(text);
        passed(std::string(text));
    } else {
        // What precedes the cursor is not known to be the trigger: it stays as typed.
        return false;
    }
    key.taken = true;
    return true;
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
}

void TypingRoute::cancelPendingDate() {
    pendingDate_.reset();
    if (pendingTimer_ != 0) scheduler_.cancel(pendingTimer_);
    pendingTimer_ = 0;
}

TextExpansionManager::SubscriptionId followTriggers(TypingRoute& route, TextExpansionManager& manager) {
    auto update = [&route, &manager] {
        std::vector<std::string> triggers;
        for (const Shortcut& s : manager.shortcuts()) {
            if (!s.trigger.empty()) triggers.push_back(TriggerBuffer::toNfc(s.trigger));
        }
        route.setTriggers(std::move(triggers));
    };
    update();
    return manager.subscribe([update](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::Shortcuts) update();
    });
}

}  // namespace orvalin::ibus
