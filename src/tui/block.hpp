#pragma once

#include <optional>
#include <vector>

#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "tui/line.hpp"
#include "tui/style.hpp"

namespace tui {

// A frame of rounded borders on all four sides with an optional title on the top border.
struct Block {
  // Patched onto the border cells.
  Style border_style;
  // Patched onto the whole area before the border is drawn, when set.
  std::optional<Style> fill;
  // Pieces drawn one after another on the top border, from the column after the top-left corner,
  // cut before the top-right corner. Their styles are patched over the border style.
  std::vector<Span> title;

  // The area inside the borders (zero-sized when the area is narrower or lower than 2 cells).
  Rect inner(Rect area) const;
  // Draws the fill, the borders and the title into `buffer`, clipped to its area.
  void render(Rect area, Buffer& buffer) const;
};

}  // namespace tui
