#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "tui/geometry.hpp"

namespace tui {

enum class Direction { vertical, horizontal };

// The size wanted for one region of a split.
struct Constraint {
  enum class Kind { length, min };

  Kind kind = Kind::length;
  uint16_t value = 0;

  // Exactly `cells` cells.
  static constexpr Constraint length(uint16_t cells) { return Constraint{Kind::length, cells}; }
  // At least `cells` cells.
  static constexpr Constraint min(uint16_t cells) { return Constraint{Kind::min, cells}; }

  bool operator==(const Constraint&) const = default;
};

// Splits `area` along `direction` into one rectangle per constraint, in order, with no margin and
// no spacing. The regions lie one after another from the top (or left) edge; across the split they
// take the whole area. The sizes are solved so:
//   1. Lengths are granted in order, each as much of its value as is still free.
//   2. Minimums then get, in order, as much of their value as is still free.
//   3. What is left over is shared equally by the minimums, the first ones getting one cell more
//      when it does not divide evenly. Without a minimum it stays unused after the last region.
// A region that does not fit gets zero size and is placed where the previous region ends.
std::vector<Rect> split(Rect area, Direction direction, std::span<const Constraint> constraints);
std::vector<Rect> split(Rect area, Direction direction,
                        std::initializer_list<Constraint> constraints);

}  // namespace tui
