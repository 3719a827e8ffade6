#pragma once

#include <string>
#include <vector>

#include "engine/platform.h"
#include "engine/trigger_buffer.h"

namespace orvalin::wayland {

// Whether a key may complete a trigger, told before the engine sees the key. It keeps its own
// copy of the typed characters by the engine's rules; where the two differ (a key the engine
// did not get, a buffer the engine cleared), this copy only holds more, so it never misses a
// trigger the engine would find.
class TriggerWatch {
public:
    // The triggers' texts, in NFC.
    void setTriggers(std::vector<std::string> triggers) { triggers_ = std::move(triggers); }
    // One key the engine is given.
    bool mayComplete(const KeyEvent& event);
    // The focused text field changed: the engine starts afresh too.
    void clear() { typed_.clear(); }

private:
    TriggerBuffer typed_;
    std::vector<std::string> triggers_;
};

}  // namespace orvalin::wayland
