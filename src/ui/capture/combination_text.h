#pragma once

#include <QString>

#include "core/shortcut.h"

namespace orvalin::ui {

// A key combination as shown to the user: "Ctrl+Alt+D", key names in the interface's language.
QString combinationText(const GlobalShortcut& shortcut);

}  // namespace orvalin::ui
