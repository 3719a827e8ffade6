#pragma once

#include <functional>

#include "engine/platform.h"
#include "platform/wayland/input_method.h"

namespace orvalin::wayland {

// The focused text field changing, as the engine's application-switch source: the trigger
// typed so far belongs to the field that had it.
class InputMethodFocusWatch final : public ActiveApplicationSource {
public:
    explicit InputMethodFocusWatch(InputMethod& inputMethod) : inputMethod_(inputMethod) {}
    void start(std::function<void()> onSwitch) override { inputMethod_.onFocusChange(std::move(onSwitch)); }
    void stop() override { inputMethod_.onFocusChange({}); }

private:
    InputMethod& inputMethod_;
};

}  // namespace orvalin::wayland
