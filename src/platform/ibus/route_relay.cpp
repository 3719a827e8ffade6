#include "platform/ibus/route_relay.h"

#include <string>
#include <utility>

#include "core/shortcut.h"
#include "engine/trigger_buffer.h"

namespace orvalin::ibus {

bool RouteRelay::start(Handler handler) {
    if (handler_) return false;
    handler_ = std::move(handler);
    toRoute_([](TypingRoute& route) { route.setWatching(true); });
    return true;
}

void RouteRelay::stop() {
    handler_ = nullptr;
    toRoute_([](TypingRoute& route) { route.setWatching(false); });
}

void RouteRelay::publish(std::vector<std::string> triggers, std::vector<TypingRoute::Chord> chords) {
    toRoute_([triggers = std::move(triggers), chords = std::move(chords)](TypingRoute& route) mutable {
        route.setTriggers(std::move(triggers), std::move(chords));
    });
}

bool RouteRelay::deliver(const KeyEvent& event, std::uint64_t id, bool awaited) {
    // A combination whose date will not come (dropped on the way) is answered by the next key.
    if (combination_ != 0 && !(underWay_ && underWay_()))
        answer(std::exchange(combination_, 0), std::nullopt);
    if (!handler_ || (ignored_ && ignored_())) {
        if (awaited) answer(id, std::nullopt);
        return false;
    }
    current_ = id;
    answered_ = false;
    Handler handler = handler_;  // the handler may stop the monitor
    handler(event);
    current_ = 0;
    if (!awaited || answered_) return true;
    // A key combination's date follows after a delay: it answers the key then.
    if (underWay_ && underWay_()) {
        if (combination_ != 0) answer(combination_, std::nullopt);
        combination_ = id;
        return true;
    }
    answer(id, std::nullopt);
    return true;
}

bool RouteRelay::insertText(std::size_t erase, std::string_view text) {
    if (current_ != 0 && !answered_) {
        answered_ = true;
        answer(current_, TypingRoute::Insertion{erase, std::string(text)});
    } else if (combination_ != 0 && current_ == 0) {
        answer(std::exchange(combination_, 0), TypingRoute::Insertion{erase, std::string(text)});
    } else {
        toRoute_([erase, text = std::string(text)](TypingRoute& route) { route.insertText(erase, text); });
    }
    // Whether the text goes in is known on the route's thread only; nothing waits for it here.
    return true;
}

void RouteRelay::answer(std::uint64_t id, std::optional<TypingRoute::Insertion> insertion) {
    toRoute_([id, insertion = std::move(insertion)](TypingRoute& route) mutable {
        route.answer(id, std::move(insertion));
    });
}

TextExpansionManager::SubscriptionId followTriggers(RouteRelay& relay, TextExpansionManager& manager) {
    auto update = [&relay, &manager] {
        std::vector<std::string> triggers;
        std::vector<TypingRoute::Chord> chords;
        for (const Shortcut& s : manager.shortcuts()) {
            if (!s.trigger.empty()) triggers.push_back(TriggerBuffer::toNfc(s.trigger));
            if (s.globalShortcut && s.globalShortcut->keyCode <= 0xFFFF) {
                chords.push_back({static_cast<std::uint16_t>(s.globalShortcut->keyCode),
                                  s.globalShortcut->modifiers & modifier::kMask});
            }
        }
        relay.publish(std::move(triggers), std::move(chords));
    };
    update();
    return manager.subscribe([update](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::Shortcuts) update();
    });
}

}  // namespace orvalin::ibus
