#pragma once

#include <cstdint>

namespace base {

// Saturating 16-bit arithmetic: offsets and sizes stop at 0 and 65,535 instead of wrapping.
constexpr uint16_t saturating_add(uint16_t a, uint16_t b) {
  const unsigned sum = unsigned{a} + unsigned{b};
  return sum > 0xFFFF ? uint16_t{0xFFFF} : static_cast<uint16_t>(sum);
}
constexpr uint16_t saturating_sub(uint16_t a, uint16_t b) {
  return a > b ? static_cast<uint16_t>(a - b) : uint16_t{0};
}

}  // namespace base
