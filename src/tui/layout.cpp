#include "tui/layout.hpp"

namespace tui {

std::vector<Rect> split(Rect area, Direction direction, std::span<const Constraint> constraints) {
  const bool vertical = direction == Direction::vertical;
  unsigned free = vertical ? area.height : area.width;
  std::vector<unsigned> sizes(constraints.size(), 0);

  std::size_t minimums = 0;
  for (std::size_t i = 0; i < constraints.size(); ++i) {
    if (constraints[i].kind == Constraint::Kind::length) {
      sizes[i] = std::min(unsigned{constraints[i].value}, free);
      free -= sizes[i];
    } else {
      ++minimums;
    }
  }
  for (std::size_t i = 0; i < constraints.size(); ++i) {
    if (constraints[i].kind == Constraint::Kind::min) {
      sizes[i] = std::min(unsigned{constraints[i].value}, free);
      free -= sizes[i];
    }
  }
  if (minimums > 0 && free > 0) {
    const auto share = static_cast<unsigned>(free / minimums);
    auto extra = static_cast<unsigned>(free % minimums);
    for (std::size_t i = 0; i < constraints.size(); ++i) {
      if (constraints[i].kind == Constraint::Kind::min) {
        sizes[i] += share + (extra > 0 ? 1 : 0);
        if (extra > 0)
          --extra;
      }
    }
  }

  std::vector<Rect> regions;
  regions.reserve(constraints.size());
  uint16_t start = vertical ? area.y : area.x;
  for (const unsigned size : sizes) {
    const auto length = static_cast<uint16_t>(size);
    if (vertical) {
      regions.push_back(Rect{area.x, start, area.width, length});
    } else {
      regions.push_back(Rect{start, area.y, length, area.height});
    }
    start = base::saturating_add(start, length);
  }
  return regions;
}

std::vector<Rect> split(Rect area, Direction direction,
                        std::initializer_list<Constraint> constraints) {
  return split(area, direction,
               std::span<const Constraint>(constraints.begin(), constraints.size()));
}

}  // namespace tui
