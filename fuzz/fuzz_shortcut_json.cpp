// The stored format list, decoded from arbitrary bytes: a decoded list encodes again and decodes
// back to itself, its unknown members and unusable offsets and languages included, and its
// combinations show as short texts; a list built from arbitrary texts either encodes and
// round-trips, or is refused because one of its texts is not UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

#include "core/key_combination.h"
#include "core/shortcut_json.h"
#include "fuzz_check.h"

using namespace orvalin;
using orvalin::fuzz::isValidUtf8;

namespace {

// Friday 20 March 2026, 12:00 UTC.
const std::chrono::system_clock::time_point kInstant{std::chrono::seconds(1774008000)};

void checkDecodedRoundTrip(std::string_view bytes) {
    std::string problem;
    auto decoded = decodeShortcuts(bytes, &problem);
    if (!decoded) {
        FUZZ_REQUIRE(!problem.empty());
        return;
    }
    FUZZ_REQUIRE(problem.empty());
    for (const Shortcut& s : *decoded) {
        FUZZ_REQUIRE(s.dayOffset >= -Shortcut::kMaxDayOffset && s.dayOffset <= Shortcut::kMaxDayOffset);
        // Any stored language, known to ICU or not, renders without harm (ICU crashed on some).
        (void)s.formattedDate(kInstant, "UTC");
        // A stored combination, whatever its text, is shown as a short, well-formed text.
        if (!s.globalShortcut) continue;
        const std::string shown = linuxCombinationText(*s.globalShortcut);
        FUZZ_REQUIRE(!shown.empty() && shown.size() <= 128 && isValidUtf8(shown));
    }
    // Whatever was accepted is valid JSON text, so it can be written again.
    auto encoded = encodeShortcuts(*decoded);
    FUZZ_REQUIRE(encoded.has_value());
    FUZZ_REQUIRE(isValidUtf8(*encoded));
    auto again = decodeShortcuts(*encoded);
    FUZZ_REQUIRE(again.has_value());
    FUZZ_REQUIRE(*again == *decoded);
    FUZZ_REQUIRE(encodeShortcuts(*again) == encoded);
}

Shortcut arbitraryShortcut(FuzzedDataProvider& in) {
    Shortcut s;
    std::array<std::uint8_t, 16> id{};
    for (auto& b : id) b = in.ConsumeIntegral<std::uint8_t>();
    s.id = Uuid(id);
    s.label = in.ConsumeRandomLengthString(32);
    s.dateFormat = in.ConsumeRandomLengthString(32);
    s.trigger = in.ConsumeRandomLengthString(16);
    if (in.ConsumeBool()) {
        s.globalShortcut =
            GlobalShortcut{in.ConsumeIntegral<std::uint32_t>(), in.ConsumeIntegral<std::uint32_t>(),
                           in.ConsumeRandomLengthString(8)};
    }
    s.dayOffset = in.ConsumeIntegralInRange(-Shortcut::kMaxDayOffset, Shortcut::kMaxDayOffset);
    s.locale = in.ConsumeRandomLengthString(12);
    // Kept members come from a stored entry: a JSON object of keys this version does not use.
    if (in.ConsumeBool()) {
        const std::string key = "x" + in.ConsumeRandomLengthString(8);
        const std::string value = in.ConsumeRandomLengthString(8);
        if (isValidUtf8(key) && isValidUtf8(value)) s.keptMembers = nlohmann::json{{key, value}}.dump();
    }
    return s;
}

bool allTextsValid(const std::vector<Shortcut>& list) {
    for (const Shortcut& s : list) {
        if (!isValidUtf8(s.label) || !isValidUtf8(s.dateFormat) || !isValidUtf8(s.trigger) ||
            !isValidUtf8(s.locale))
            return false;
        if (s.globalShortcut && !isValidUtf8(s.globalShortcut->display)) return false;
    }
    return true;
}

void checkBuiltRoundTrip(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<Shortcut> list;
    const auto count = in.ConsumeIntegralInRange<std::size_t>(0, 3);
    for (std::size_t i = 0; i < count; ++i) list.push_back(arbitraryShortcut(in));
    auto encoded = encodeShortcuts(list);
    FUZZ_REQUIRE(encoded.has_value() == allTextsValid(list));
    if (!encoded) return;
    auto decoded = decodeShortcuts(*encoded);
    FUZZ_REQUIRE(decoded.has_value());
    FUZZ_REQUIRE(*decoded == list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkDecodedRoundTrip(std::string_view(reinterpret_cast<const char*>(data), size));
    checkBuiltRoundTrip(data, size);
    return 0;
}
