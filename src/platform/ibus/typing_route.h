#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/platform.h"
#include "engine/text_expansion_manager.h"
#include "platform/ibus/field_writer.h"

namespace orvalin::ibus {

// The IBus route's decisions, free of IBus itself: which keys reach the engine, how a trigger is
// erased, what is held back as preedit, and where a date goes when no field has the focus.
//
// Each key reaches the engine before the application; a trigger's last key is therefore taken and
// never reaches it. The characters typed before it are erased through the field's surrounding
// text when the field reports text that ends with them; elsewhere a trigger's beginning is held
// as preedit from its first key, and replaced by the date, or committed unchanged once the typing
// stops matching.
class TypingRoute final : public KeyMonitor, public TextInserter {
public:
    enum class Verdict { Pass, Take };
    // How long a date asked for with no field focused waits for one.
    static constexpr Scheduler::Duration kPendingDateLifetime{10000};
    // A field that just got the focus is left to settle before a waiting date goes in.
    static constexpr Scheduler::Duration kFocusSettle{50};

    explicit TypingRoute(Scheduler& scheduler);
    ~TypingRoute() override;
    TypingRoute(const TypingRoute&) = delete;
    TypingRoute& operator=(const TypingRoute&) = delete;

    // ---- KeyMonitor, TextInserter (the engine's side).
    bool start(Handler handler) override;
    void stop() override;
    bool insertText(std::size_t erase, std::string_view text) override;

    // The texts of the triggers: keys beginning one may be held back.
    void setTriggers(std::vector<std::string> triggers);
    // Runs when a waiting date is dropped, no field having taken the focus in time.
    void setDropListener(std::function<void()> dropped) { dropped_ = std::move(dropped); }
    // Keys pass untouched while `ignored` says so (the program's own windows have them).
    void ignoreKeysWhile(std::function<bool()> ignored) { ignored_ = std::move(ignored); }
    // Runs whenever a field gets the focus.
    void setFocusListener(std::function<void()> focused) { focused_ = std::move(focused); }

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
    bool watches(const FieldWriter& field) const { return &field == field_ && !secret_ && handler_; }
    // One key press in the focused field. `composing`: the key belongs to a dead-key or Compose
    // sequence, which the keyboard's own handling completes.
    Verdict key(FieldWriter& field, const KeyEvent& event, bool composing);

    bool hasFocusedField() const { return field_ != nullptr; }
    bool isDateWaiting() const { return pendingDate_.has_value(); }

private:
    struct KeyInFlight {
        std::string_view characters;
        bool taken = false;
    };

    bool insertDuringKey(KeyInFlight& key, std::size_t erase, std::string_view text);
    bool eraseBeforeCursor(std::size_t keys);
    Verdict holdOrPass(std::string_view characters);
    bool beginsTrigger(const std::vector<std::string>& keys) const;
    bool reportsFollowTyping() const;
    bool reportEndsWith(std::size_t keys) const;
    void commitHeld(std::string_view after = {});
    void showHeld();
    void passed(std::string text);
    void forgetField();
    void deliverPendingDate();
    void cancelPendingDate();

    Scheduler& scheduler_;
    Handler handler_;
    std::function<void()> dropped_;
    std::function<bool()> ignored_;
    std::function<void()> focused_;
    std::vector<std::string> triggers_;

    FieldWriter* field_ = nullptr;
    bool secret_ = false;
    std::optional<std::string> before_;  // the field's last report, when it gave one
    bool reportSinceKey_ = false;        // the report came after the last key that reached the field
    std::vector<std::string> recent_;    // the last keys' text that reached the field, one per key
    std::vector<std::string> held_;      // preedit, one entry per key
    KeyInFlight* current_ = nullptr;

    std::optional<std::string> pendingDate_;
    Scheduler::TimerId pendingTimer_ = 0;
    Scheduler::TimerId settleTimer_ = 0;
};

// Keeps the route's triggers those of the manager's formats; returns the subscription.
TextExpansionManager::SubscriptionId followTriggers(TypingRoute& route, TextExpansionManager& manager);

}  // namespace orvalin::ibus
