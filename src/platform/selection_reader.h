#pragma once

#include <chrono>
#include <functional>

#include "engine/platform.h"

namespace orvalin {

// Reads a selection another program owns, every format with its bytes, without holding the
// program up: the answers are taken from the event loop as they come.
class SelectionReader {
public:
    using Done = std::function<void(PasteboardSnapshot)>;
    virtual ~SelectionReader() = default;
    // Starts a read of PRIMARY or CLIPBOARD; `done` is called once, from the event loop or within
    // settle(), with the content, or unreadable when the owner did not give it all within the
    // reader's bound. A read still running for that selection is dropped without its `done`.
    virtual void start(bool primary, Done done) = 0;
    // Takes the answers that come within `atMost` and no longer; whether that read is finished.
    virtual bool settle(bool primary, std::chrono::milliseconds atMost) = 0;
    virtual bool reading(bool primary) const = 0;
};

}  // namespace orvalin
