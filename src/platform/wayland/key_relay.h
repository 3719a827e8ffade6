#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/platform.h"
#include "platform/wayland/pass_through_messages.h"

namespace orvalin::wayland {

class PassThroughThread;

// The engine's key monitor and text inserter on the main thread, for keys passed on by the
// pass-through thread: keys come in already passed on, and insertions go back to it tagged with
// the key being handled, so that it can tell one made on stale text.
class KeyRelay final : public KeyMonitor, public TextInserter {
public:
    // `available`: whether a grab can be had now.
    KeyRelay(PassThroughThread& thread, std::function<bool()> available)
        : thread_(thread), available_(std::move(available)) {}

    bool start(Handler handler) override;
    void stop() override;
    bool insertText(std::size_t erase, std::string_view text) override;
    // While this holds, keys are passed on but not reported (the program's own windows).
    void setSuppressed(std::function<bool()> suppressed) { suppressed_ = std::move(suppressed); }

    // A key the thread passed on; a barrier is answered whatever becomes of it here.
    void deliver(const PassThroughNews& key);
    // The triggers' texts the thread watches for, and the key codes of combinations.
    void setTriggers(std::vector<std::string> triggers, std::vector<std::uint16_t> combinationKeys);

private:
    PassThroughThread& thread_;
    std::function<bool()> available_;
    std::function<bool()> suppressed_;
    std::shared_ptr<const Handler> handler_;  // shared: the handler may stop the monitor
    std::uint64_t current_ = 0;               // the key being handled; 0 between keys
};

}  // namespace orvalin::wayland
