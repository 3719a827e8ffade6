#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/platform.h"
#include "platform/ibus/field_writer.h"

namespace orvalin::ibus {

// The IBus route's decisions, free of IBus itself: which keys go on at once, how a trigger is
// erased, what is held back as preedit, and where a date goes when no field has the focus. It runs
// where the IBus connection does, never on the engine's thread: each key is answered at once and
// handed to the engine afterwards, whose insertions come back later.
//
// The route knows the triggers and key combinations, so it knows which keys may bring a date: a
// trigger's last key is taken, a combination goes on, and every key after either waits until the
// engine's answer for it has come (bounded), so that what is typed next lands after the date: text
// is taken and goes in after it, other keys are told to wait. The
// characters typed before a trigger are erased through the field's surrounding text when the
// field reports text that ends with them; elsewhere a trigger's beginning is held as preedit from
// its first key, and replaced by the date, or committed unchanged once the typing stops matching.
class TypingRoute final {
public:
    // Wait: the key must not reach the field yet, nor any key after it; it is offered again once
    // the route resumes.
    enum class Verdict { Pass, Take, Wait };
    struct Insertion {
        std::size_t erase = 0;  // characters typed last, the one of the answered key included
        std::string text;
    };
    struct Chord {
        std::uint16_t keyCode = 0;
        std::uint32_t modifiers = 0;  // masked
    };
    // Hands a watched key to the engine; `awaited`: the route waits for answer(`id`, …).
    using Handoff = std::function<void(const KeyEvent& event, std::uint64_t id, bool awaited)>;

    // How long a date asked for with no field focused waits for one.
    static constexpr Scheduler::Duration kPendingDateLifetime{10000};
    // A field that just got the focus is left to settle before a waiting date goes in.
    static constexpr Scheduler::Duration kFocusSettle{50};
    // How long keys wait behind a trigger or a combination for the engine's answer; past it they
    // go in as typed and a late answer is dropped rather than applied on text that moved on.
    static constexpr Scheduler::Duration kAnswerBound{1000};

    explicit TypingRoute(Scheduler& scheduler);
    ~TypingRoute();
    TypingRoute(const TypingRoute&) = delete;
    TypingRoute& operator=(const TypingRoute&) = delete;

    // ---- The engine's side, as it reaches this thread.
    void setHandoff(Handoff handoff) { handoff_ = std::move(handoff); }
    // Whether the engine watches keys at all; held preedit goes in as the watch ends.
    void setWatching(bool watching);
    // The texts of the triggers (keys beginning one may be held back) and the key combinations.
    void setTriggers(std::vector<std::string> triggers, std::vector<Chord> chords = {});
    // The engine's answer to an awaited key: the insertion it asked for during it, or none.
    void answer(std::uint64_t id, std::optional<Insertion> insertion);
    // An insertion asked for outside any key (a panel click, a combination's date).
    void insertText(std::size_t erase, std::string_view text);
    // Runs when a waiting date is dropped, no field having taken the focus in time.
    void setDropListener(std::function<void()> dropped) { dropped_ = std::move(dropped); }
    // Runs whenever a field gets the focus.
    void setFocusListener(std::function<void()> focused) { focused_ = std::move(focused); }
    // Runs, from the scheduler, when keys told to wait may be offered again.
    void setResumeListener(std::function<void()> resume) { resume_ = std::move(resume); }

    // ---- The focused field (the IBus side).
    // `secret`: a password or PIN field, neither watched nor held back in.
    void focusIn(FieldWriter& field, bool secret);
    void focusOut(FieldWriter& field);
    void setSecret(FieldWriter& field, bool secret);
    // What the field reports before its cursor.
    void setTextBeforeCursor(FieldWriter& field, std::string before);
    // The field dropped its state (a click moved the cursor): held preedit is the field's now.
    void reset(FieldWriter& field);
    // Whether keys in `field` are watched: it has the focus and is not secret.
    bool watches(const FieldWriter& field) const { return &field == field_ && !secret_ && watching_; }
    // Keys wait behind a trigger or a combination whose answer has not come.
    bool waiting() const { return awaited_ != 0; }
    // Keys were told to wait: every key, releases included, waits until the route resumes.
    bool deferring() const { return deferring_; }
    // One key press in the focused field. `composing`: the key belongs to a dead-key or Compose
    // sequence, which the keyboard's own handling completes.
    Verdict key(FieldWriter& field, const KeyEvent& event, bool composing);

    bool hasFocusedField() const { return field_ != nullptr; }
    bool isDateWaiting() const { return pendingDate_.has_value(); }

private:
    enum class Awaits { Trigger, Chord };
    struct Typed {
        std::uint16_t keyCode;
        std::uint32_t modifiers;
        std::string characters;
    };

    Verdict decide(const KeyEvent& event, bool composing, std::uint64_t id);
    void await(std::uint64_t id, Awaits what, std::string_view characters);
    void stopWaiting(std::optional<Insertion> insertion);
    void liftWait();
    void catchUp();
    bool typesText(const KeyEvent& event, bool composing) const;
    bool insertTrigger(std::size_t erase, std::string_view text);
    void commitTyped(std::string_view characters);
    bool eraseBeforeCursor(std::size_t keys);
    Verdict holdOrPass(std::string_view characters);
    bool beginsTrigger(std::string_view text) const;
    bool endsTrigger(std::string_view characters) const;
    bool isChord(const KeyEvent& event) const;
    bool reportsFollowTyping() const;
    bool reportEndsWith(std::size_t keys) const;
    void commitHeld(std::string_view after = {});
    void showHeld();
    void passed(std::string text);
    void forgetField();
    void deliverPendingDate();
    void cancelPendingDate();

    Scheduler& scheduler_;
    Handoff handoff_;
    bool watching_ = false;
    std::function<void()> dropped_;
    std::function<void()> focused_;
    std::function<void()> resume_;
    std::vector<std::string> triggers_;
    std::vector<Chord> chords_;

    FieldWriter* field_ = nullptr;
    bool secret_ = false;
    std::optional<std::string> before_;  // the field's last report, when it gave one
    bool reportSinceKey_ = false;        // the report came after the last key that reached the field
    std::vector<std::string> recent_;    // the last keys' text that reached the field, one per key
    std::vector<std::string> held_;      // preedit, one entry per key

    std::uint64_t lastKey_ = 0;
    std::uint64_t awaited_ = 0;  // the key whose answer the others wait for; 0: none
    Awaits awaits_ = Awaits::Trigger;
    std::string awaitedCharacters_;  // a trigger's last key, taken meanwhile
    std::vector<Typed> typedAhead_;  // text typed during the wait, taken
    bool deferring_ = false;         // a key was told to wait
    bool committedLate_ = false;     // text went in outside a key since the last key
    Scheduler::TimerId answerTimer_ = 0;
    Scheduler::TimerId resumeTimer_ = 0;

    std::optional<std::string> pendingDate_;
    Scheduler::TimerId pendingTimer_ = 0;
    Scheduler::TimerId settleTimer_ = 0;
};

}  // namespace orvalin::ibus
