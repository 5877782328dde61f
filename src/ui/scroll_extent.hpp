#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tui/geometry.hpp"

namespace qm {

// How a scrolled text fills its area: the rows it takes as the area draws them and the rows the
// area shows.
struct ScrollExtent {
  std::size_t rows = 0;
  uint16_t height = 0;

  // The offset that puts the text's last row on the area's bottom row; 0 when the text fits.
  uint16_t last_offset() const;
  // `offset`, moved back to the last offset when it lies beyond it.
  uint16_t clamp(uint16_t offset) const;
  // `offset` moved by `delta` rows and kept within 0 and the last offset.
  uint16_t step(uint16_t offset, int delta) const;
  // "41–75/120": the first and the last row in view at `offset` (clamped first) and the rows in
  // all, counted from 1. Empty when the text fits.
  std::string position(uint16_t offset) const;

  bool operator==(const ScrollExtent&) const = default;
};

// Whether a text is wrapped at the area's width or shows one row per line.
enum class Wrapping : unsigned char { words, none };

// The extent of `text` drawn into `area`: its lines counted as DetailText splits them, each
// wrapped at the area's width as draw_wrapped_text wraps it, or one row each without wrapping.
ScrollExtent text_extent(std::string_view text, tui::Rect area, Wrapping wrapping);

// The rows that the lines of `text` before the first one equal to `line` take in `area`, counted
// as text_extent counts them; none when no line equals it or the area is empty.
std::optional<std::size_t> rows_before_line(std::string_view text, tui::Rect area,
                                            Wrapping wrapping, std::string_view line);

}  // namespace qm
