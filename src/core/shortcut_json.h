#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/shortcut.h"

namespace orvalin {

// The stored form of the format list: one compact JSON array, keys in a fixed order,
// "globalShortcut" left out when an entry has none, "dayOffset" and "locale" when unset; an
// entry's kept members follow its own.
std::optional<std::string> encodeShortcuts(const std::vector<Shortcut>& shortcuts);

// All or nothing: one bad element (missing key, wrong type, number outside 0..2^32-1, id that is
// not UUID text) rejects the whole array. On failure, `error` (when given) says what was wrong.
// An offset that is not a whole number of days within range, or a language that is not a text,
// is no offset or language, and is kept with the unknown keys.
std::optional<std::vector<Shortcut>> decodeShortcuts(std::string_view json, std::string* error = nullptr);

}  // namespace orvalin
