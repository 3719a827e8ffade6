#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/format_catalogue.h"
#include "core/preferences_store.h"
#include "core/shortcut.h"
#include "engine/insertion_route.h"
#include "engine/insertion_sequencer.h"
#include "engine/pending_expansion.h"
#include "engine/platform.h"
#include "engine/trigger_buffer.h"

namespace orvalin {

// The program's one controller: the list of formats and the default format (kept in the
// preferences store), the key handling that turns typed triggers and key combinations into
// insertions, the permission watch and the login item. Everything runs on the main thread.
class TextExpansionManager {
public:
    // Which piece of published state changed.
    enum class Change {
        Shortcuts,
        DefaultFormatId,
        AccessibilityPermission,
        LaunchAtStartup,
        InsertionNotice
    };
    using Observer = std::function<void(Change)>;
    using SubscriptionId = std::uint64_t;

    static constexpr std::size_t kMaxBufferLength = TriggerBuffer::kMaxGraphemes;
    // The paste follows the Backspaces at once: the display server keeps synthesized and typed
    // keys in one queue, so keys the user types on after a trigger reach the application after
    // the date. A pause here would let them in before it.
    static constexpr Scheduler::Duration kTriggerPasteDelay{0};
    // A matched trigger is sent once the keys already read with it are handled (a slow turn of the
    // event loop reads several at once): those reached the application before our Backspaces.
    static constexpr Scheduler::Duration kTriggerSettle{0};
    static constexpr Scheduler::Duration kCombinationPasteDelay{20};
    static constexpr Scheduler::Duration kPermissionPollInterval{30000};
    static constexpr Scheduler::Duration kPermissionFastPollInterval{1000};
    // How long the panel keeps saying why a date could not be inserted.
    static constexpr Scheduler::Duration kInsertionNoticeLifetime{120000};

    // Loads the formats, checks the permission, reads the login item, starts the key monitor if
    // allowed, watches application switches and starts the background permission poll.
    TextExpansionManager(PreferencesStore& store, const EnginePlatform& platform);
    // Stops the key monitor, both permission polls and the application-switch watch; delayed
    // insertion steps are cancelled and the user's clipboard content is put back.
    ~TextExpansionManager();
    TextExpansionManager(const TextExpansionManager&) = delete;
    TextExpansionManager& operator=(const TextExpansionManager&) = delete;

    // ---- Observers. A callback may subscribe or unsubscribe while being notified.
    SubscriptionId subscribe(Observer observer);
    void unsubscribe(SubscriptionId id);

    // ---- Formats. Edits take effect from the next key press; they are not saved until
    // saveShortcuts (addShortcut and deleteShortcut save by themselves).
    const std::vector<Shortcut>& shortcuts() const { return catalogue_.shortcuts(); }
    void setShortcuts(std::vector<Shortcut> shortcuts);
    // Replaces the entry with the same id; false when there is none.
    bool updateShortcut(const Shortcut& shortcut);
    // `label` names the new format, in the interface's language.
    Shortcut addShortcut(const std::string& label = "Nouveau");
    void deleteShortcut(const Uuid& id);
    bool saveShortcuts();
    bool isTriggerTaken(const std::string& trigger, const Uuid& excludedId) const;
    bool isGlobalShortcutTaken(const GlobalShortcut& combination, const Uuid& excludedId) const;
    // The entry with the default id, else the first entry; none while the list is empty.
    std::optional<Shortcut> defaultShortcut() const { return catalogue_.defaultShortcut(); }
    const Uuid& defaultFormatId() const { return catalogue_.defaultFormatId(); }
    void setDefaultFormatId(const Uuid& id);

    // ---- Permission and login item.
    bool hasAccessibilityPermission() const { return hasAccessibilityPermission_; }
    void checkAccessibilityPermission();
    // Opens the help page and polls every second until the permission is seen.
    void requestAccessibilityPermission();
    bool launchAtStartup() const { return launchAtStartup_; }
    void setLaunchAtStartup(bool enabled);

    // ---- Key handling and insertion.
    // One key press seen system-wide. Never stores or reports what was typed beyond the buffer.
    void handleKeyDown(const KeyEvent& event);
    // Erases the entry's trigger and inserts its date, through the session's insertion route.
    void expandTrigger(const Shortcut& shortcut);
    // Inserts the entry's date (key combinations).
    void insertDate(const Shortcut& shortcut);
    // Inserts `text` after `delay` (the tray panel's rows and calendar). On the clipboard route the
    // clipboard is taken at once and restored afterwards, overlap-safe like every other insertion.
    void pasteText(std::string text, Scheduler::Duration delay);
    // The clipboard route's own steps; nothing happens on a platform without a clipboard.
    PasteboardSnapshot snapshotPasteboard() {
        return sequencer_ ? sequencer_->snapshot() : PasteboardSnapshot{};
    }
    bool simulatePaste() { return sequencer_ && sequencer_->simulatePaste(); }
    void restorePasteboard(const PasteboardSnapshot& saved) {
        if (sequencer_) sequencer_->restore(saved);
    }
    void pasteAndRestore(PasteboardSnapshot saved) {
        if (sequencer_) sequencer_->pasteAndRestore(std::move(saved));
    }

    // The route could not deliver a date asked for (no text field took the focus in time): `why`,
    // in the user's words, is kept for the panel until the user dismisses it, another insertion is
    // asked for, or kInsertionNoticeLifetime passes.
    void insertionDropped(std::string why);
    const std::string& insertionNotice() const { return insertionNotice_; }
    void dismissInsertionNotice();

    // ---- State exposed for tests and diagnostics (never the buffer's content).
    std::size_t bufferLength() const { return buffer_.graphemeCount(); }
    bool isMonitoring() const { return monitoring_; }
    bool isFastPermissionPollRunning() const { return fastPollTimer_ != 0; }
    bool isInsertionUnderWay() const { return route_ != nullptr && route_->busy(); }
    // What the user should know of this session's reach; empty when nothing is limited.
    const std::string& sessionNotice() const { return platform_.sessionNotice; }
    const std::string& permissionWarning() const { return platform_.permissionWarning; }
    // The clock of every date, for the windows that show dates.
    const Clock& clock() const { return platform_.clock; }

private:
    struct Combination {
        std::uint16_t keyCode;
        std::uint32_t modifiers;  // masked
        std::size_t index;        // into shortcuts()
    };
    struct Trigger {
        std::string text;  // NFC
        std::string lead;  // all but its last character; empty for a one-character trigger
        std::size_t index;
    };

    void startMonitoring();
    void stopMonitoring();
    void observeAppSwitches();
    void refreshLaunchAtStartup();
    void rebuildMatchTables();
    bool dispatchCombinations(std::uint16_t keyCode, std::uint32_t modifiers);
    bool hasCombination(std::uint16_t keyCode, std::uint32_t modifiers) const;
    bool takenByPendingExpansion(const KeyEvent& event);
    // The pending expansion, no longer pending; its timer stopped.
    std::optional<PendingExpansion> takePendingExpansion();
    void sendPendingExpansion();
    // The trigger stays as typed, and the buffer starts afresh.
    void dropPendingExpansion();
    void insert(std::string text, std::size_t erase, Scheduler::Duration delay);
    void notify(Change change);
    void onFastPollTick();
    template <typename F>
    auto guarded(F f);

    EnginePlatform platform_;  // a copy: the references in it name objects that outlive us
    FormatCatalogue catalogue_;
    bool hasAccessibilityPermission_ = false;
    bool launchAtStartup_ = false;
    TriggerBuffer buffer_;
    std::unique_ptr<InsertionSequencer> sequencer_;  // when the platform has keys and a clipboard
    std::unique_ptr<DirectInsertionRoute> direct_;   // when the platform takes text directly
    InsertionRoute* route_;                          // the one insertions go through; none: nowhere
    std::optional<PendingExpansion> pending_;
    Scheduler::TimerId pendingTimer_ = 0;

    std::vector<Trigger> triggers_;
    std::vector<Combination> combinations_;
    bool hasUnmodifiedCombinations_ = false;

    bool monitoring_ = false;
    bool observingAppSwitches_ = false;
    Scheduler::TimerId backgroundPollTimer_ = 0;
    Scheduler::TimerId fastPollTimer_ = 0;
    std::string insertionNotice_;
    Scheduler::TimerId insertionNoticeTimer_ = 0;

    std::vector<std::pair<SubscriptionId, Observer>> observers_;
    SubscriptionId nextSubscriptionId_ = 1;

    // Callbacks handed to the platform check this before touching the manager.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orvalin
