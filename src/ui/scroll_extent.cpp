#include "ui/scroll_extent.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "tui/wrap.hpp"
#include "ui/detail_lines.hpp"

namespace qm {

namespace {

constexpr std::size_t max_offset = 0xFFFF;

std::size_t line_rows(std::string_view line, uint16_t width, Wrapping wrapping) {
  return wrapping == Wrapping::words ? tui::wrapped_row_count(line, width) : 1;
}

}  // namespace

uint16_t ScrollExtent::last_offset() const {
  if (rows <= height) {
    return 0;
  }
  return static_cast<uint16_t>(std::min(rows - height, max_offset));
}

uint16_t ScrollExtent::clamp(uint16_t offset) const {
  return std::min(offset, last_offset());
}

uint16_t ScrollExtent::step(uint16_t offset, int delta) const {
  const long moved = long{clamp(offset)} + delta;
  return static_cast<uint16_t>(std::clamp(moved, 0L, long{last_offset()}));
}

std::string ScrollExtent::position(uint16_t offset) const {
  if (rows <= height) {
    return {};
  }
  const std::size_t first = std::size_t{clamp(offset)} + 1;
  const std::size_t last = std::min(first + height - 1, rows);
  return fmt::format("{}–{}/{}", first, last, rows);
}

ScrollExtent text_extent(std::string_view text, tui::Rect area, Wrapping wrapping) {
  ScrollExtent extent{0, area.height};
  if (area.empty()) {
    return extent;
  }
  const DetailText lines(text);
  for (std::size_t i = 0;; ++i) {
    const std::optional<std::string_view> line = lines.line(i);
    if (!line) {
      break;
    }
    extent.rows += line_rows(*line, area.width, wrapping);
  }
  return extent;
}

std::optional<std::size_t> rows_before_line(std::string_view text, tui::Rect area,
                                            Wrapping wrapping, std::string_view line) {
  if (area.empty()) {
    return std::nullopt;
  }
  const DetailText lines(text);
  std::size_t rows = 0;
  for (std::size_t i = 0;; ++i) {
    const std::optional<std::string_view> found = lines.line(i);
    if (!found) {
      return std::nullopt;
    }
    if (*found == line) {
      return rows;
    }
    rows += line_rows(*found, area.width, wrapping);
  }
}

}  // namespace qm
