#pragma once

#include <cstdint>

namespace orvalin::vkey {

// Virtual key codes (positions on a US board, whatever the layout) that the program acts on.
inline constexpr std::uint16_t kV = 9;
inline constexpr std::uint16_t kReturn = 36;
inline constexpr std::uint16_t kTab = 48;
inline constexpr std::uint16_t kSpace = 49;
inline constexpr std::uint16_t kBackspace = 51;
inline constexpr std::uint16_t kEscape = 53;
inline constexpr std::uint16_t kLeftShift = 56;
inline constexpr std::uint16_t kLeftControl = 59;
inline constexpr std::uint16_t kInsert = 114;
inline constexpr std::uint16_t kForwardDelete = 117;
inline constexpr std::uint16_t kLeftArrow = 123;
inline constexpr std::uint16_t kRightArrow = 124;
inline constexpr std::uint16_t kDownArrow = 125;
inline constexpr std::uint16_t kUpArrow = 126;

}  // namespace orvalin::vkey
