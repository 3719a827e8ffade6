#pragma once

#include <ibus.h>

#include <functional>
#include <mutex>

#include "engine/route_session.h"

namespace orvalin::ibus {

// The engine's entries in the desktop's input-source menu (GNOME Shell's, KDE's IBus panel): where
// no tray shows, the way to the panel and the settings while Orvalin is the input source.
class EngineMenu {
public:
    using Request = RouteSession::MenuRequest;
    // The entries' keys, as IBus hands them back when one is picked.
    static constexpr const char* kShowPanel = "orvalin.show-panel";
    static constexpr const char* kOpenSettings = "orvalin.open-settings";

    // The labels are translated here, in the interface's language.
    EngineMenu();
    ~EngineMenu();
    EngineMenu(const EngineMenu&) = delete;
    EngineMenu& operator=(const EngineMenu&) = delete;

    // `requested` runs when the user picks an entry; it may run on the IBus thread, and may be set
    // while that thread runs.
    void setHandler(std::function<void(Request)> requested);
    // Each engine shows the entries while its field has the focus.
    void offerIn(IBusEngine* engine) const;
    // True when `key` names one of the entries (its request is then made).
    bool activate(const gchar* key) const;

private:
    IBusPropList* entries_;
    mutable std::mutex mutex_;
    std::function<void(Request)> requested_;
};

// The menu the engines offer; null: none.
void attachMenu(EngineMenu* menu);
// For the engines: their field got the focus, an entry was picked (false: not ours).
void offerMenu(IBusEngine* engine);
bool activateMenuEntry(const gchar* key);

}  // namespace orvalin::ibus
