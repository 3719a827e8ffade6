#pragma once

#include <string>

#include "engine/platform.h"

namespace orvalin::wayland {

class InputMethod;
class WaylandConnection;

// Keys can be watched while the compositor connection holds and the seat's input method is ours.
class WaylandTrustQuery final : public TrustQuery {
public:
    WaylandTrustQuery(WaylandConnection& connection, InputMethod& inputMethod)
        : connection_(connection), inputMethod_(inputMethod) {}
    bool isTrusted() override;
    // Why keys cannot be watched, in the user's words; empty while they can.
    std::string missing() const;

private:
    WaylandConnection& connection_;
    InputMethod& inputMethod_;
};

}  // namespace orvalin::wayland
