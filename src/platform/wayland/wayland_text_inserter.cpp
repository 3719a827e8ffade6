#include "platform/wayland/wayland_text_inserter.h"

#include "platform/wayland/input_method.h"
#include "platform/wayland/virtual_keyboard.h"

namespace orvalin::wayland {

// The Backspaces and the commit reach the application in the order sent: both go through the
// compositor, which passes them on as it reads them. Fields that do not report their text
// (terminals) get the date typed: such a client drops a commit that crosses one of its own state
// updates, which it sends after every key, whereas typed keys keep their place among the user's.
bool WaylandTextInserter::insertText(std::size_t erase, std::string_view text) {
    if (!inputMethod_.fieldReportsText()) return keyboard_.type(erase, text);
    if (erase > 0 && !keyboard_.type(erase, "")) return false;
    return inputMethod_.commit(text) || keyboard_.type(0, text);
}

}  // namespace orvalin::wayland
