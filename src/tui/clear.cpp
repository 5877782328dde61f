#include "tui/clear.hpp"

namespace tui {

void clear(Rect area, Buffer& buffer) {
  area = area.intersection(buffer.area());
  if (area.empty()) {
    return;
  }
  const Rect bounds = buffer.area();
  for (uint16_t y = area.y; y < area.bottom(); ++y) {
    // The owner of a continuation cell at the left edge lies outside the area.
    if (buffer.at(area.x, y).is_continuation()) {
      uint16_t owner = area.x;
      while (owner > bounds.x && buffer.at(owner, y).is_continuation()) {
        --owner;
      }
      for (uint16_t x = owner; x < area.x; ++x) {
        buffer.at(x, y).blank();
      }
    }
    for (uint16_t x = area.x; x < area.right(); ++x) {
      buffer.at(x, y).reset();
    }
    for (uint16_t x = area.right(); x < bounds.right() && buffer.at(x, y).is_continuation(); ++x) {
      buffer.at(x, y).blank();
    }
  }
}

}  // namespace tui
