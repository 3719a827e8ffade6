// Date rendering under any locale name, time zone and pattern. The input is
// "<locale name>\n<time zone id>\n<pattern>"; missing lines are empty. The locale reaches the
// renderer both as an explicit name and through LC_ALL, as the program reads it at run time.
// Rendering never fails: the text is well-formed UTF-8, both routes agree, an empty pattern gives
// an empty text, and a quoted literal comes out as written in every locale.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/date_format.h"
#include "fuzz_check.h"

using namespace orvalin;
using orvalin::fuzz::isValidUtf8;

namespace {

using Clock = std::chrono::system_clock;

// Today, the epoch, the last millisecond of a leap day, 1900 and 2200 (the clock counts nanoseconds
// in 64 bits, about 292 years either side of 1970).
constexpr std::array<std::int64_t, 5> kInstantsMs{1'796'601'600'000, 0, 1'709'251'199'999, -2'208'988'800'000,
                                                  7'258'118'400'000};

std::string_view nextLine(std::string_view& rest) {
    auto cut = rest.find('\n');
    std::string_view line = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
    return line;
}

// The pattern's text with its quotes removed, quoted whole: ICU must print it unchanged.
std::string quotedLiteral(std::string_view pattern, std::string& literal) {
    for (char c : pattern)
        if (c != '\'') literal += c;
    return "'" + literal + "'";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The host zone the renderer detects: fixed, so that both routes render in the same zone.
    setenv("TZ", "UTC", 1);
    unsetenv("LC_TIME");
    unsetenv("LANG");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string locale(nextLine(rest));
    const std::string zone(nextLine(rest));
    const std::string_view pattern = rest;
    const Clock::time_point instant{std::chrono::milliseconds(kInstantsMs[size % kInstantsMs.size()])};

    const std::string explicitText = formatDate(instant, pattern, locale, zone);
    FUZZ_REQUIRE(isValidUtf8(explicitText));
    if (pattern.empty()) FUZZ_REQUIRE(explicitText.empty());

    setenv("LC_ALL", locale.c_str(), 1);
    const std::string name = currentLocaleName();
    FUZZ_REQUIRE(!name.empty());
    FUZZ_REQUIRE(name.find_first_of(".@") == std::string::npos);
    const std::string environmentText = formatDate(instant, pattern);
    FUZZ_REQUIRE(isValidUtf8(environmentText));
    FUZZ_REQUIRE(environmentText == formatDate(instant, pattern, name, "UTC"));

    std::string literal;
    const std::string quoted = quotedLiteral(pattern, literal);
    if (!literal.empty() && isValidUtf8(literal))
        FUZZ_REQUIRE(formatDate(instant, quoted, locale, zone) == literal);
    return 0;
}
