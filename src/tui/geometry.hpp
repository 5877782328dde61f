#pragma once

#include <algorithm>
#include <cstdint>

#include "base/saturating.hpp"

namespace tui {

struct Position {
  uint16_t x = 0;
  uint16_t y = 0;
  bool operator==(const Position&) const = default;
};

struct Size {
  uint16_t width = 0;
  uint16_t height = 0;
  bool operator==(const Size&) const = default;
};

// A rectangle of cells given by its top-left corner and its size.
struct Rect {
  uint16_t x = 0;
  uint16_t y = 0;
  uint16_t width = 0;
  uint16_t height = 0;

  bool operator==(const Rect&) const = default;

  constexpr uint16_t left() const { return x; }
  constexpr uint16_t top() const { return y; }
  constexpr uint16_t right() const { return base::saturating_add(x, width); }
  constexpr uint16_t bottom() const { return base::saturating_add(y, height); }
  constexpr uint32_t area() const { return uint32_t{width} * uint32_t{height}; }
  constexpr bool empty() const { return width == 0 || height == 0; }
  constexpr bool contains(Position p) const {
    return p.x >= x && p.x < right() && p.y >= y && p.y < bottom();
  }

  // The rectangle shrunk by `margin` cells on every side (zero-sized when too small).
  constexpr Rect inner(uint16_t margin) const {
    const auto twice = static_cast<uint16_t>(std::min(2 * unsigned{margin}, 0xFFFFu));
    if (width < twice || height < twice) {
      return Rect{base::saturating_add(x, margin), base::saturating_add(y, margin), 0, 0};
    }
    return Rect{base::saturating_add(x, margin), base::saturating_add(y, margin),
                static_cast<uint16_t>(width - twice), static_cast<uint16_t>(height - twice)};
  }

  constexpr Rect intersection(const Rect& other) const {
    const uint16_t x1 = std::max(x, other.x);
    const uint16_t y1 = std::max(y, other.y);
    const uint16_t x2 = std::min(right(), other.right());
    const uint16_t y2 = std::min(bottom(), other.bottom());
    return Rect{x1, y1, base::saturating_sub(x2, x1), base::saturating_sub(y2, y1)};
  }
};

}  // namespace tui
