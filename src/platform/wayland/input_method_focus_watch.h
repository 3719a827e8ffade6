#pragma once

#include <functional>

#include "engine/platform.h"

namespace orvalin::wayland {

// The focused text field changing, as the engine's application-switch source: the trigger
// typed so far belongs to the field that had it. Told on the main thread, in order with the keys.
class InputMethodFocusWatch final : public ActiveApplicationSource {
public:
    void start(std::function<void()> onSwitch) override { onSwitch_ = std::move(onSwitch); }
    void stop() override { onSwitch_ = nullptr; }
    void changed() {
        if (onSwitch_) onSwitch_();
    }

private:
    std::function<void()> onSwitch_;
};

}  // namespace orvalin::wayland
