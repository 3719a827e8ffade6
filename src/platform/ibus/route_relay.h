#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/platform.h"
#include "engine/text_expansion_manager.h"
#include "platform/ibus/typing_route.h"

namespace orvalin::ibus {

// The engine's end of the IBus route, on the main thread: keys the route answered come in here
// afterwards and go to the engine; what the engine asks for goes back to the route's thread
// through `toRoute`, in order, the insertion asked for during a key as that key's answer.
class RouteRelay final : public KeyMonitor, public TextInserter {
public:
    // Runs a task on the route's thread, after those handed over before it.
    using ToRoute = std::function<void(std::function<void(TypingRoute&)>)>;

    explicit RouteRelay(ToRoute toRoute) : toRoute_(std::move(toRoute)) {}

    bool start(Handler handler) override;
    void stop() override;
    bool insertText(std::size_t erase, std::string_view text) override;

    // Keys go to no engine while `ignored` says so (the program's own windows have them).
    void ignoreKeysWhile(std::function<bool()> ignored) { ignored_ = std::move(ignored); }
    // Whether the engine holds an insertion back for a while (a key combination's date).
    void insertionsUnderWay(std::function<bool()> underWay) { underWay_ = std::move(underWay); }
    // The triggers and key combinations of the engine's formats.
    void publish(std::vector<std::string> triggers, std::vector<TypingRoute::Chord> chords);
    // A key the route handed over; `awaited`: the route waits for its answer. True when the
    // engine judged it, typed outside the program's own windows.
    bool deliver(const KeyEvent& event, std::uint64_t id, bool awaited);

private:
    void answer(std::uint64_t id, std::optional<TypingRoute::Insertion> insertion);

    ToRoute toRoute_;
    Handler handler_;
    std::function<bool()> ignored_;
    std::function<bool()> underWay_;
    std::uint64_t current_ = 0;      // the key being handled
    bool answered_ = false;          // its answer went
    std::uint64_t combination_ = 0;  // an awaited key whose date the engine still holds back
};

// Keeps the route's triggers and key combinations those of the manager's formats; returns the
// subscription.
TextExpansionManager::SubscriptionId followTriggers(RouteRelay& relay, TextExpansionManager& manager);

}  // namespace orvalin::ibus
