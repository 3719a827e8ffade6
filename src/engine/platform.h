#pragma once

// The small interfaces through which the engine reaches the desktop. The engine only ever calls
// them on the main thread; realisations deliver their callbacks on the main thread too.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/clock.h"

namespace orvalin {

// One key press seen system-wide, in the program's virtual key-code numbering.
struct KeyEvent {
    std::uint16_t keyCode = 0;
    std::uint32_t modifiers =
        0;  // modifier word (Shift 0x20000, Control 0x40000, Alt 0x80000, Super 0x100000, Caps Lock 0x10000)
    std::string_view characters;  // what the key types, UTF-8; empty for dead keys and keys that type nothing
};

// Global key-down monitor (key presses delivered to every application).
class KeyMonitor {
public:
    using Handler = std::function<void(const KeyEvent&)>;
    virtual ~KeyMonitor() = default;
    // Installs the monitor; false when it cannot be installed. At most one handler at a time.
    virtual bool start(Handler handler) = 0;
    virtual void stop() = 0;
};

// Injects key presses into the focused application. Each call returns false when the key cannot
// be typed at all (no key of the keyboard layout gives it): nothing was sent then.
class KeySynthesizer {
public:
    virtual ~KeySynthesizer() = default;
    // One press and release of Backspace (virtual key 51), no modifier set by the program.
    virtual bool postBackspace() = 0;
    // "Command-V": one press and release of V (virtual key 9) with the Command flag only. Desktop
    // realisations send the focused window's own paste chord instead.
    virtual bool postCommandV() = 0;
};

// One clipboard content: every (type, bytes) pair it offered, in order.
struct PasteboardSnapshot {
    std::vector<std::pair<std::string, std::string>> items;
    // The owner did not answer in time: its content could not be saved, and replacing it would
    // lose it.
    bool unreadable = false;
    bool empty() const { return items.empty(); }
    friend bool operator==(const PasteboardSnapshot&, const PasteboardSnapshot&) = default;
};

// Puts text straight into the focused application, in place of the last `erase` characters the
// user typed there, with no clipboard involved (an input method's commit, a virtual keyboard).
// False when nothing could be sent; nothing was erased then.
class TextInserter {
public:
    virtual ~TextInserter() = default;
    virtual bool insertText(std::size_t erase, std::string_view text) = 0;
};

// The general clipboard.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;
    virtual PasteboardSnapshot snapshot() = 0;
    // The same content handed to `ready` without holding the program up: at once when it is at
    // hand, else later from the event loop once its owner gave it, or unreadable once the owner
    // had its time. A realisation that reads at once needs nothing more.
    virtual void snapshotWhenReady(std::function<void(PasteboardSnapshot)> ready) { ready(snapshot()); }
    // A snapshot asked for and not handed over yet is no longer wanted.
    virtual void cancelSnapshot() {}
    // Clears the clipboard and puts `text` on it as plain text.
    virtual void setText(std::string_view text) = 0;
    // Clears the clipboard, then writes every pair of `saved` as one item (a repeated type keeps its
    // last data). An empty snapshot leaves the clipboard empty. A realisation may hold the restore
    // back until the pasted text was fetched; a later setText cancels a restore still held back.
    virtual void restore(const PasteboardSnapshot& saved) = 0;
    // A trigger lacks one character: a realisation that reads the clipboard slowly may read it
    // now, so that the snapshot taken when the trigger completes holds nothing up.
    virtual void prepare() {}
};

// Delayed and repeating calls on the main thread.
class Scheduler {
public:
    using TimerId = std::uint64_t;  // never 0
    using Duration = std::chrono::milliseconds;
    virtual ~Scheduler() = default;
    virtual TimerId scheduleOnce(Duration delay, std::function<void()> task) = 0;
    virtual TimerId scheduleRepeating(Duration interval, std::function<void()> tick) = 0;
    // Cancelling an id that already ran or was cancelled does nothing.
    virtual void cancel(TimerId id) = 0;
};

// Whether the program may watch and inject keys.
class TrustQuery {
public:
    virtual ~TrustQuery() = default;
    virtual bool isTrusted() = 0;
};

// Start at login.
class LoginItemService {
public:
    // NotFound: registered, but naming a program that is not there (moved or uninstalled).
    enum class Status { NotRegistered, Enabled, NotFound };
    virtual ~LoginItemService() = default;
    // Each returns the error's text on failure, nothing on success.
    virtual std::optional<std::string> registerItem() = 0;
    virtual std::optional<std::string> unregisterItem() = 0;
    virtual Status status() = 0;
};

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual bool open(const std::string& url) = 0;
};

// Tells when another application becomes the active one.
class ActiveApplicationSource {
public:
    virtual ~ActiveApplicationSource() = default;
    virtual void start(std::function<void()> onSwitch) = 0;
    virtual void stop() = 0;
};

// Everything the engine is given at construction. The referenced objects outlive the engine.
struct EnginePlatform {
    KeyMonitor& keyMonitor;
    // The clipboard route's keys and clipboard; without both, insertions take `textInserter`.
    KeySynthesizer* keySynthesizer;
    Pasteboard* pasteboard;
    Scheduler& scheduler;
    const Clock& clock;  // today, for every date inserted or shown
    TrustQuery& trust;
    LoginItemService& loginItems;
    UrlOpener& urlOpener;
    ActiveApplicationSource& activeApplications;
    std::ostream& out;              // where the login item's diagnostic line goes (standard error)
    std::string permissionHelpUrl;  // opened when the user asks how to grant the permission
    // Where the desktop takes text directly, insertions go there and never touch the clipboard.
    TextInserter* textInserter = nullptr;
    // A limit of this session the user should know of (which applications are reached); empty
    // when there is none.
    std::string sessionNotice;
    // The start of the line reporting a failed change of the login item, in the interface's language.
    std::string loginItemFailure = "Erreur démarrage auto : ";
    // The panel's warning while keys cannot be watched, where the route words it itself (another
    // input source chosen); empty: the usual one.
    std::string permissionWarning = {};
};

}  // namespace orvalin
