#pragma once

#include <functional>
#include <string>

#include "engine/platform.h"

namespace orvalin {

class TextExpansionManager;

// One way of reaching the user's applications (the X11 display, a Wayland compositor's input
// method), opened and built whole: it hands out the pieces of the engine's platform that depend
// on it and owns them. A slot the route never uses stays empty.
class RouteSession {
public:
    virtual ~RouteSession() = default;

    virtual KeyMonitor& keyMonitor() = 0;
    virtual TrustQuery& trust() = 0;
    virtual ActiveApplicationSource& activeApplications() = 0;
    // Where the route takes text directly; nothing where insertions go through the clipboard.
    virtual TextInserter* textInserter() { return nullptr; }
    // The clipboard route's synthesized keys and clipboard; nothing where text goes in directly.
    virtual KeySynthesizer* keySynthesizer() { return nullptr; }
    virtual Pasteboard* pasteboard() { return nullptr; }

    // Key presses are not reported while `suppressed` says so (the program's own windows have
    // the keys: they are theirs).
    virtual void suppressKeysWhile(std::function<bool()> suppressed) = 0;
    // From now on `onLoss` runs once if the display server goes (the session says so on
    // standard error first), `onAccessLost` when the keys stop being the route's while it stays.
    virtual void watch(std::function<void()> onLoss, std::function<void()> onAccessLost) = 0;
    virtual bool broken() const = 0;
    // Why keys cannot be watched, in the user's words; empty while they can.
    virtual std::string failure() = 0;

    // The engine now runs on this session: a route that follows it (its triggers) hooks in here.
    virtual void engineStarted(TextExpansionManager& manager) { (void)manager; }
    // The panel's warning while keys cannot be watched, and the help page's section on it
    // ("#name"), where the route has its own; empty: the usual ones.
    virtual std::string permissionWarning() const { return {}; }
    virtual std::string helpAnchor() const { return {}; }

    // `dropped` runs with the reason, in the user's words, whenever the route gives up a date it
    // could not deliver (no text field took the focus in time). May run on the route's own thread.
    virtual void onInsertionDropped(std::function<void(std::string why)> dropped) { (void)dropped; }
    // What the route's own menu asks for (an input method's entries in the desktop's input-source
    // menu, where there is no tray). `requested` may run on the route's own thread.
    enum class MenuRequest { ShowPanel, OpenSettings };
    virtual void onMenuRequest(std::function<void(MenuRequest)> requested) { (void)requested; }

    // Part of an insertion the route still holds once the engine is done (a clipboard restore
    // waiting for the paste to be fetched).
    virtual bool holdsInsertion() const { return false; }
    // The program ends, the engine is gone: what must outlive the program is handed on (the
    // user's clipboard, to a keeper run from `keeperProgram`; empty: nothing outlives it).
    virtual void leave(const std::string& keeperProgram) { (void)keeperProgram; }
};

}  // namespace orvalin
