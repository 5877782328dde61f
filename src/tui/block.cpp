#include "tui/block.hpp"

namespace tui {

namespace {

// One column each, so they are put without measuring.
constexpr std::string_view top_left = "╭";
constexpr std::string_view top_right = "╮";
constexpr std::string_view bottom_left = "╰";
constexpr std::string_view bottom_right = "╯";
constexpr std::string_view vertical = "│";
constexpr std::string_view horizontal = "─";

}  // namespace

Rect Block::inner(Rect area) const {
  return area.inner(1);
}

void Block::render(Rect area, Buffer& buffer) const {
  area = area.intersection(buffer.area());
  if (area.empty()) {
    return;
  }
  if (fill) {
    buffer.set_style(area, *fill);
  }
  const uint16_t left = area.x;
  const uint16_t top = area.y;
  const auto right = static_cast<uint16_t>(area.right() - 1);
  const auto bottom = static_cast<uint16_t>(area.bottom() - 1);

  for (uint16_t x = left + 1; x < right; ++x) {
    buffer.set_narrow_symbol(x, top, horizontal, border_style);
    if (bottom > top) {
      buffer.set_narrow_symbol(x, bottom, horizontal, border_style);
    }
  }
  for (uint16_t y = top + 1; y < bottom; ++y) {
    buffer.set_narrow_symbol(left, y, vertical, border_style);
    if (right > left) {
      buffer.set_narrow_symbol(right, y, vertical, border_style);
    }
  }
  buffer.set_narrow_symbol(left, top, top_left, border_style);
  if (right > left) {
    buffer.set_narrow_symbol(right, top, top_right, border_style);
  }
  if (bottom > top) {
    buffer.set_narrow_symbol(left, bottom, bottom_left, border_style);
    if (right > left) {
      buffer.set_narrow_symbol(right, bottom, bottom_right, border_style);
    }
  }

  if (area.width <= 2) {
    return;
  }
  uint16_t column = left + 1;
  for (const Span& piece : title) {
    if (column >= right) {
      break;
    }
    column = buffer.set_string(column, top, piece.content, piece.style,
                               static_cast<uint16_t>(right - column));
  }
}

}  // namespace tui
