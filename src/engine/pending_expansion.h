#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvalin {

// A trigger has matched and its insertion is not sent yet. Keys the user typed on meanwhile have
// already reached the application behind the trigger, so they are erased with it and typed back
// after the date: the text ends up as the user typed it, with the date in the trigger's place.
class PendingExpansion {
public:
    PendingExpansion(std::string date, std::size_t triggerLength);

    // Takes the text of a key typed after the trigger; false for text a paste cannot reproduce
    // (line breaks, tabs, other control characters).
    bool takeText(std::string_view characters);
    // Takes a Backspace; false when it reached into the trigger itself.
    bool takeBackspace();

    // What to paste, and how many characters to erase before it.
    std::string text() const;
    std::size_t erase() const;
    // What the user typed after the trigger, in order.
    std::string typedAfter() const;

private:
    std::string date_;
    std::size_t triggerLength_;
    std::vector<std::string> keys_;  // one entry per key, so a Backspace takes back a whole key
};

}  // namespace orvalin
