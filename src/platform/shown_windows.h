#pragma once

namespace orvalin {

// What the program's shown windows tell of where typed keys go, as far as the program knows
// without asking the display server.
enum class ShownWindows {
    None,       // none can have the keyboard: the keys are another application's
    Focusable,  // one can have the focus: the display server says whether it has
    Popup,      // a popup is open: its grab takes every key
};
ShownWindows shownWindows();

}  // namespace orvalin
