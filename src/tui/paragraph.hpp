#pragma once

#include <cstdint>
#include <span>

#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "tui/line.hpp"
#include "tui/line_source.hpp"
#include "tui/style.hpp"

namespace tui {

enum class Wrap { none, words };

// Lines of styled text drawn into a rectangle, from a scroll position.
//
// With Wrap::words each line is wrapped as wrap_rows does (the breaks depend on the plain text
// only), `scroll` counts wrapped rows and `column_offset` is not used. With Wrap::none `scroll`
// counts lines, each line skips its first `column_offset` columns and is cut at the right edge; a
// wide character cut by the offset leaves a blank. Only the lines from the scroll position to the
// bottom of the area are styled; the lines above it are only measured when wrapping.
struct Paragraph {
  Wrap wrap = Wrap::none;
  uint16_t scroll = 0;
  uint16_t column_offset = 0;
  // Patched onto the whole area before the text is drawn.
  Style style;

  // Draws `lines` into `area` of `buffer`, clipped to the buffer.
  void render(const LineSource& lines, Rect area, Buffer& buffer) const;
  // The same for lines held in memory.
  void render(std::span<const Line> lines, Rect area, Buffer& buffer) const;
};

}  // namespace tui
