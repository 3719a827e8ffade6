#include "engine/text_expansion_manager.h"
#include "core/virtual_keys.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace orvalin {

namespace {

constexpr std::uint32_t kMaxKeyCode = 0xFFFF;

// An error text may span lines; the diagnostic stays on one.
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace

// Platform callbacks and timers may still fire after teardown began; they then do nothing.
template <typename F>
auto TextExpansionManager::guarded(F f) {
    return [alive = std::weak_ptr<bool>(alive_), f = std::move(f)]() {
        if (!alive.expired()) f();
    };
}

TextExpansionManager::TextExpansionManager(PreferencesStore& store, const EnginePlatform& platform)
    : platform_(platform),
      catalogue_(store),
      sequencer_(platform.keySynthesizer != nullptr && platform.pasteboard != nullptr
                     ? std::make_unique<InsertionSequencer>(*platform.keySynthesizer, *platform.pasteboard,
                                                            platform.scheduler)
                     : nullptr),
      direct_(platform.textInserter != nullptr
                  ? std::make_unique<DirectInsertionRoute>(*platform.textInserter, platform.scheduler)
                  : nullptr),
      route_(direct_ ? static_cast<InsertionRoute*>(direct_.get()) : sequencer_.get()) {
    catalogue_.loadShortcuts();
    rebuildMatchTables();
    checkAccessibilityPermission();
    launchAtStartup_ = platform_.loginItems.status() == LoginItemService::Status::Enabled;
    startMonitoring();
    observeAppSwitches();
    backgroundPollTimer_ = platform_.scheduler.scheduleRepeating(
        kPermissionPollInterval, guarded([this] { checkAccessibilityPermission(); }));
}

TextExpansionManager::~TextExpansionManager() {
    alive_.reset();
    stopMonitoring();
    takePendingExpansion();
    if (backgroundPollTimer_ != 0) platform_.scheduler.cancel(backgroundPollTimer_);
    if (fastPollTimer_ != 0) platform_.scheduler.cancel(fastPollTimer_);
    if (insertionNoticeTimer_ != 0) platform_.scheduler.cancel(insertionNoticeTimer_);
    if (observingAppSwitches_) platform_.activeApplications.stop();
}

// ---- Observers

TextExpansionManager::SubscriptionId TextExpansionManager::subscribe(Observer observer) {
    SubscriptionId id = nextSubscriptionId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void TextExpansionManager::unsubscribe(SubscriptionId id) {
    std::erase_if(observers_, [id](const auto& o) { return o.first == id; });
}

void TextExpansionManager::notify(Change change) {
    std::vector<SubscriptionId> ids;
    ids.reserve(observers_.size());
    for (const auto& o : observers_) ids.push_back(o.first);
    for (SubscriptionId id : ids) {
        auto it =
            std::find_if(observers_.begin(), observers_.end(), [id](const auto& o) { return o.first == id; });
        if (it == observers_.end()) continue;  // unsubscribed by an earlier callback
        Observer callback = it->second;
        if (callback) callback(change);
    }
}

// ---- Formats

void TextExpansionManager::setShortcuts(std::vector<Shortcut> shortcuts) {
    if (shortcuts == catalogue_.shortcuts()) return;
    catalogue_.setShortcuts(std::move(shortcuts));
    rebuildMatchTables();
    notify(Change::Shortcuts);
}

bool TextExpansionManager::updateShortcut(const Shortcut& shortcut) {
    auto& list = catalogue_.mutableShortcuts();
    auto it = std::find_if(list.begin(), list.end(), [&](const Shortcut& s) { return s.id == shortcut.id; });
    if (it == list.end()) return false;
    if (*it == shortcut) return true;
    *it = shortcut;
    rebuildMatchTables();
    notify(Change::Shortcuts);
    return true;
}

Shortcut TextExpansionManager::addShortcut(const std::string& label) {
    Shortcut added = catalogue_.addShortcut(label);
    rebuildMatchTables();
    notify(Change::Shortcuts);
    return added;
}

void TextExpansionManager::deleteShortcut(const Uuid& id) {
    std::size_t before = catalogue_.shortcuts().size();
    Uuid previousDefault = catalogue_.defaultFormatId();
    catalogue_.deleteShortcut(id);
    rebuildMatchTables();
    if (catalogue_.shortcuts().size() != before) notify(Change::Shortcuts);
    if (catalogue_.defaultFormatId() != previousDefault) notify(Change::DefaultFormatId);
}

bool TextExpansionManager::saveShortcuts() {
    return catalogue_.saveShortcuts();
}

bool TextExpansionManager::isTriggerTaken(const std::string& trigger, const Uuid& excludedId) const {
    return catalogue_.isTriggerTaken(trigger, excludedId);
}

bool TextExpansionManager::isGlobalShortcutTaken(const GlobalShortcut& combination,
                                                 const Uuid& excludedId) const {
    return catalogue_.isGlobalShortcutTaken(combination, excludedId);
}

void TextExpansionManager::setDefaultFormatId(const Uuid& id) {
    if (id == catalogue_.defaultFormatId()) return;
    catalogue_.setDefaultFormatId(id);
    notify(Change::DefaultFormatId);
}

// Triggers are compared in canonical composition; a trigger longer than the buffer can never
// match and combinations whose key code no event can carry are left out.
void TextExpansionManager::rebuildMatchTables() {
    triggers_.clear();
    combinations_.clear();
    hasUnmodifiedCombinations_ = false;
    const auto& list = catalogue_.shortcuts();
    TriggerBuffer lead;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Shortcut& s = list[i];
        if (!s.trigger.empty()) {
            std::string nfc = TriggerBuffer::toNfc(s.trigger);
            if (TriggerBuffer::countGraphemes(nfc) <= kMaxBufferLength) {
                lead.clear();
                lead.append(nfc);
                lead.removeLast();
                triggers_.push_back({std::move(nfc), std::string(lead.text()), i});
            }
        }
        if (s.globalShortcut && s.globalShortcut->keyCode <= kMaxKeyCode) {
            std::uint32_t masked = s.globalShortcut->modifiers & modifier::kMask;
            combinations_.push_back({static_cast<std::uint16_t>(s.globalShortcut->keyCode), masked, i});
            if (masked == 0) hasUnmodifiedCombinations_ = true;
        }
    }
}

// ---- Key handling

void TextExpansionManager::handleKeyDown(const KeyEvent& event) {
    if (sequencer_) sequencer_->userTyped();
    if (pending_ && takenByPendingExpansion(event)) return;
    // Any other key (an arrow, a line break, a combination) has already acted on the text behind
    // the trigger: erasing now would hit the wrong characters, so the trigger stays as typed.
    if (pending_) dropPendingExpansion();
    const std::uint32_t modifiers = event.modifiers & modifier::kMask;
    if (modifiers != 0) {
        dispatchCombinations(event.keyCode, modifiers);
        return;
    }
    // A combination recorded without modifiers (F5 alone) fires instead of typing.
    if (hasUnmodifiedCombinations_ && dispatchCombinations(event.keyCode, 0)) return;

    switch (event.keyCode) {
        case vkey::kBackspace:
            buffer_.removeLast();
            return;
        case vkey::kEscape:
        case vkey::kLeftArrow:
        case vkey::kRightArrow:
        case vkey::kDownArrow:
        case vkey::kUpArrow:
            buffer_.clear();
            return;
        default:
            break;
    }
    if (event.characters.empty()) return;
    buffer_.append(event.characters);

    for (const Trigger& trigger : triggers_) {
        if (buffer_.endsWith(trigger.text)) {
            expandTrigger(catalogue_.shortcuts()[trigger.index]);
            buffer_.clear();
            return;
        }
    }
    // One key away from a trigger: the clipboard can be read now, while nothing waits for it.
    if (direct_ || !sequencer_ || sequencer_->busy()) return;
    for (const Trigger& trigger : triggers_) {
        if (!trigger.lead.empty() && buffer_.endsWith(trigger.lead)) {
            platform_.pasteboard->prepare();
            return;
        }
    }
}

bool TextExpansionManager::dispatchCombinations(std::uint16_t keyCode, std::uint32_t modifiers) {
    // Our own paste chord comes back through the monitor; a combination recorded on it must not
    // answer it, or every paste would start another one.
    if (keyCode == vkey::kV && sequencer_ && sequencer_->pasteEchoPossible()) return false;
    bool matched = false;
    for (const Combination& c : combinations_) {
        if (c.keyCode == keyCode && c.modifiers == modifiers) {
            insertDate(catalogue_.shortcuts()[c.index]);
            matched = true;
        }
    }
    if (matched) buffer_.clear();
    return matched;
}

bool TextExpansionManager::hasCombination(std::uint16_t keyCode, std::uint32_t modifiers) const {
    return std::any_of(combinations_.begin(), combinations_.end(), [&](const Combination& c) {
        return c.keyCode == keyCode && c.modifiers == modifiers;
    });
}

bool TextExpansionManager::takenByPendingExpansion(const KeyEvent& event) {
    const std::uint32_t modifiers = event.modifiers & modifier::kMask;
    if (event.keyCode == vkey::kBackspace && modifiers == 0) return pending_->takeBackspace();
    if ((modifiers & ~modifier::kShift) != 0 || hasCombination(event.keyCode, modifiers)) return false;
    return pending_->takeText(event.characters);
}

// ---- Insertion

void TextExpansionManager::expandTrigger(const Shortcut& shortcut) {
    if (pending_) sendPendingExpansion();  // two triggers read in one turn: both go, in order
    pending_.emplace(shortcut.formattedDate(platform_.clock.now()),
                     TriggerBuffer::countGraphemes(shortcut.trigger));
    // Where keys reach the application through us, none can have passed the trigger: insert now.
    if (direct_) {
        sendPendingExpansion();
        return;
    }
    pendingTimer_ =
        platform_.scheduler.scheduleOnce(kTriggerSettle, guarded([this] { sendPendingExpansion(); }));
}

std::optional<PendingExpansion> TextExpansionManager::takePendingExpansion() {
    if (pendingTimer_ != 0) platform_.scheduler.cancel(pendingTimer_);
    pendingTimer_ = 0;
    return std::exchange(pending_, std::nullopt);
}

void TextExpansionManager::sendPendingExpansion() {
    const std::optional<PendingExpansion> expansion = takePendingExpansion();
    if (!expansion) return;
    insert(expansion->text(), expansion->erase(), kTriggerPasteDelay);
    // What followed the trigger may begin the next one.
    buffer_.clear();
    buffer_.append(expansion->typedAfter());
}

void TextExpansionManager::dropPendingExpansion() {
    takePendingExpansion();
    buffer_.clear();
}

void TextExpansionManager::insertDate(const Shortcut& shortcut) {
    insert(shortcut.formattedDate(platform_.clock.now()), 0, kCombinationPasteDelay);
}

void TextExpansionManager::pasteText(std::string text, Scheduler::Duration delay) {
    insert(std::move(text), 0, delay);
}

// A platform that can neither take text nor paste it leaves every trigger as typed.
void TextExpansionManager::insert(std::string text, std::size_t erase, Scheduler::Duration delay) {
    // Why an earlier date went nowhere is no news once the user asks for another.
    dismissInsertionNotice();
    if (route_ != nullptr) route_->insert(std::move(text), erase, delay);
}

void TextExpansionManager::insertionDropped(std::string why) {
    dismissInsertionNotice();
    if (why.empty()) return;
    insertionNotice_ = oneLine(std::move(why));
    insertionNoticeTimer_ = platform_.scheduler.scheduleOnce(kInsertionNoticeLifetime, guarded([this] {
                                                                 insertionNoticeTimer_ = 0;
                                                                 dismissInsertionNotice();
                                                             }));
    notify(Change::InsertionNotice);
}

void TextExpansionManager::dismissInsertionNotice() {
    if (insertionNoticeTimer_ != 0) platform_.scheduler.cancel(insertionNoticeTimer_);
    insertionNoticeTimer_ = 0;
    if (insertionNotice_.empty()) return;
    insertionNotice_.clear();
    notify(Change::InsertionNotice);
}

// ---- Monitor and application switches

void TextExpansionManager::startMonitoring() {
    if (!hasAccessibilityPermission_ || monitoring_) return;
    monitoring_ =
        platform_.keyMonitor.start([alive = std::weak_ptr<bool>(alive_), this](const KeyEvent& event) {
            if (!alive.expired()) handleKeyDown(event);
        });
}

void TextExpansionManager::stopMonitoring() {
    if (!monitoring_) return;
    platform_.keyMonitor.stop();
    monitoring_ = false;
}

void TextExpansionManager::observeAppSwitches() {
    if (observingAppSwitches_) return;
    // The date must not land in the window the user went to.
    platform_.activeApplications.start(guarded([this] { dropPendingExpansion(); }));
    observingAppSwitches_ = true;
}

// ---- Permission

void TextExpansionManager::checkAccessibilityPermission() {
    bool trusted = platform_.trust.isTrusted();
    if (trusted == hasAccessibilityPermission_) return;
    hasAccessibilityPermission_ = trusted;
    if (trusted) {
        startMonitoring();
    } else {
        stopMonitoring();
    }
    notify(Change::AccessibilityPermission);
}

void TextExpansionManager::requestAccessibilityPermission() {
    if (!platform_.permissionHelpUrl.empty()) platform_.urlOpener.open(platform_.permissionHelpUrl);
    if (fastPollTimer_ != 0) platform_.scheduler.cancel(fastPollTimer_);
    fastPollTimer_ = platform_.scheduler.scheduleRepeating(kPermissionFastPollInterval,
                                                           guarded([this] { onFastPollTick(); }));
}

void TextExpansionManager::onFastPollTick() {
    checkAccessibilityPermission();
    if (hasAccessibilityPermission_ && fastPollTimer_ != 0) {
        platform_.scheduler.cancel(fastPollTimer_);
        fastPollTimer_ = 0;
    }
}

// ---- Login item

void TextExpansionManager::setLaunchAtStartup(bool enabled) {
    std::optional<std::string> error =
        enabled ? platform_.loginItems.registerItem() : platform_.loginItems.unregisterItem();
    if (error) platform_.out << platform_.loginItemFailure << oneLine(*error) << std::endl;
    refreshLaunchAtStartup();
}

void TextExpansionManager::refreshLaunchAtStartup() {
    bool enabled = platform_.loginItems.status() == LoginItemService::Status::Enabled;
    if (enabled == launchAtStartup_) return;
    launchAtStartup_ = enabled;
    notify(Change::LaunchAtStartup);
}

}  // namespace orvalin
