#include "engine/pending_expansion.h"

#include <algorithm>

#include "engine/trigger_buffer.h"

namespace orvalin {

PendingExpansion::PendingExpansion(std::string date, std::size_t triggerLength)
    : date_(std::move(date)), triggerLength_(triggerLength) {}

bool PendingExpansion::takeText(std::string_view characters) {
    const bool control = std::any_of(characters.begin(), characters.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
    if (characters.empty() || control) return false;
    keys_.emplace_back(characters);
    return true;
}

bool PendingExpansion::takeBackspace() {
    if (keys_.empty()) return false;
    keys_.pop_back();
    return true;
}

std::string PendingExpansion::text() const {
    return date_ + typedAfter();
}

std::size_t PendingExpansion::erase() const {
    return triggerLength_ + TriggerBuffer::countGraphemes(typedAfter());
}

std::string PendingExpansion::typedAfter() const {
    std::string typed;
    for (const std::string& k : keys_) typed += k;
    return typed;
}

}  // namespace orvalin
