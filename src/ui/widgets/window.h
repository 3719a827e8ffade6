#pragma once

namespace orvalin::ui {

// The program's windows besides the panel; the application keeps at most one of each.
enum class Window { Settings, Onboarding };

}  // namespace orvalin::ui
