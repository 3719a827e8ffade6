#pragma once

// What the fuzz targets share: a failed invariant aborts with its reason, which libFuzzer reports
// as a finding together with the input that broke it.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace orvalin::fuzz {

[[noreturn]] inline void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "invariant broken at %s:%d: %s\n", file, line, what);
    std::abort();
}

// Well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
inline bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned lowest = 0, highest = 0xBF;  // bounds of the second byte
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, lowest = lead == 0xE0 ? 0xA0 : 0x80, highest = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, lowest = lead == 0xF0 ? 0x90 : 0x80, highest = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if (k == 1 ? (c < lowest || c > highest) : (c < 0x80 || c > 0xBF)) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace orvalin::fuzz

#define FUZZ_REQUIRE(condition) \
    ((condition) ? static_cast<void>(0) : ::orvalin::fuzz::fail(#condition, __FILE__, __LINE__))
