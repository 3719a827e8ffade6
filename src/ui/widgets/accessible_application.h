#pragma once

namespace orvalin::ui {

// Makes screen readers see popup windows among the application's windows. Qt leaves popups out of
// its application's children (its menus are reached through the widgets that open them), so the
// tray panel, a popup with no opener, would be invisible to AT-SPI. Safe to call more than once.
void exposePopupWindowsToAccessibility();

}  // namespace orvalin::ui
