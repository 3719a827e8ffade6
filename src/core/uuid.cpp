#include "core/uuid.h"

#include <uuid/uuid.h>

#include <algorithm>

namespace orvalin {

Uuid Uuid::generate() {
    uuid_t raw;
    uuid_generate_random(raw);
    std::array<std::uint8_t, 16> bytes{};
    std::copy(std::begin(raw), std::end(raw), bytes.begin());
    return Uuid(bytes);
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
    // uuid_parse wants a NUL-terminated string of exactly 36 characters.
    if (text.size() != 36) return std::nullopt;
    char buffer[37];
    std::copy(text.begin(), text.end(), buffer);
    buffer[36] = '\0';
    uuid_t raw;
    if (uuid_parse(buffer, raw) != 0) return std::nullopt;
    std::array<std::uint8_t, 16> bytes{};
    std::copy(std::begin(raw), std::end(raw), bytes.begin());
    return Uuid(bytes);
}

std::string Uuid::toString() const {
    uuid_t raw;
    std::copy(bytes_.begin(), bytes_.end(), raw);
    char buffer[37];
    uuid_unparse_upper(raw, buffer);
    return std::string(buffer, 36);
}

bool Uuid::isNil() const {
    return std::all_of(bytes_.begin(), bytes_.end(), [](std::uint8_t b) { return b == 0; });
}

}  // namespace orvalin
