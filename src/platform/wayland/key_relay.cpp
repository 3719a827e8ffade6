#include "platform/wayland/key_relay.h"

#include "platform/wayland/pass_through_thread.h"

namespace orvalin::wayland {

bool KeyRelay::start(Handler handler) {
    if (handler_ || !available_()) return false;
    handler_ = std::make_shared<const Handler>(std::move(handler));
    thread_.post({.kind = PassThroughRequest::Kind::Start});
    return true;
}

void KeyRelay::stop() {
    if (!handler_) return;
    handler_ = nullptr;
    thread_.post({.kind = PassThroughRequest::Kind::Stop});
}

bool KeyRelay::insertText(std::size_t erase, std::string_view text) {
    thread_.post({.kind = PassThroughRequest::Kind::Insert,
                  .id = current_,
                  .erase = erase,
                  .text = std::string(text)});
    return true;
}

void KeyRelay::setTriggers(std::vector<std::string> triggers, std::vector<std::uint16_t> combinationKeys) {
    thread_.post({.kind = PassThroughRequest::Kind::Triggers,
                  .triggers = std::move(triggers),
                  .combinationKeys = std::move(combinationKeys)});
}

void KeyRelay::deliver(const PassThroughNews& key) {
    const bool ownWindow = suppressed_ && suppressed_();
    thread_.answered(key.period, ownWindow);
    if (handler_ && !ownWindow) {
        const KeyEvent event{key.keyCode, key.modifiers, key.characters};
        current_ = key.id;
        const std::shared_ptr<const Handler> handler = handler_;
        (*handler)(event);
        current_ = 0;
    }
    if (key.barrier) thread_.post({.kind = PassThroughRequest::Kind::Answered, .id = key.id});
}

}  // namespace orvalin::wayland
