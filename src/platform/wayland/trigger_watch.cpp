#include "platform/wayland/trigger_watch.h"

#include <algorithm>

#include "core/shortcut.h"
#include "core/virtual_keys.h"

namespace orvalin::wayland {

// Key combinations are not asked about: their dates go in later, with nothing erased.
bool TriggerWatch::mayComplete(const KeyEvent& event) {
    if ((event.modifiers & modifier::kMask) != 0) return false;
    switch (event.keyCode) {
        case vkey::kBackspace:
            typed_.removeLast();
            return false;
        case vkey::kEscape:
        case vkey::kLeftArrow:
        case vkey::kRightArrow:
        case vkey::kDownArrow:
        case vkey::kUpArrow:
            typed_.clear();
            return false;
        default:
            break;
    }
    if (event.characters.empty()) return false;
    typed_.append(event.characters);
    return std::any_of(triggers_.begin(), triggers_.end(),
                       [this](const std::string& trigger) { return typed_.endsWith(trigger); });
}

}  // namespace orvalin::wayland
