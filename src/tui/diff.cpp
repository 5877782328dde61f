#include "tui/diff.hpp"

#include <algorithm>
#include <cstring>

#include "base/unicode.hpp"

namespace tui {
namespace {

// Columns painted by the cell at `index` of a row: its own width, as far as continuation cells
// follow it.
uint16_t covered_width(const std::vector<Cell>& cells, std::size_t index, std::size_t row_end) {
  if (index + 1 == row_end || !cells[index + 1].is_continuation()) {
    return 1;
  }
  const auto own = static_cast<std::size_t>(std::max(base::grapheme_width(cells[index].symbol), 1));
  std::size_t width = 1;
  while (width < own && index + width < row_end && cells[index + width].is_continuation()) {
    ++width;
  }
  return static_cast<uint16_t>(width);
}

// A cell is plain bytes but for a symbol kept on the heap: equal bytes are equal cells, and
// different bytes are different cells unless both symbols lie on the heap.
bool same_cell(const Cell& a, const Cell& b) {
  if (std::memcmp(&a, &b, sizeof(Cell)) == 0) {
    return true;
  }
  return a.symbol.is_on_heap() && b.symbol.is_on_heap() && a == b;
}

}  // namespace

void diff_buffers(const Buffer& previous, const Buffer& next, std::vector<CellChange>& out) {
  out.clear();
  const Rect area = next.area();
  const std::vector<Cell>& after = next.cells();
  const std::vector<Cell>& before = previous.cells();
  const bool comparable = previous.area() == area && before.size() == after.size();
  for (uint16_t row = 0; row < area.height; ++row) {
    const std::size_t row_start = std::size_t{row} * area.width;
    const std::size_t row_end = row_start + area.width;
    // Most rows of a frame are as they were: equal bytes are an equal row.
    if (comparable && std::memcmp(&before[row_start], &after[row_start],
                                  std::size_t{area.width} * sizeof(Cell)) == 0) {
      continue;
    }
    // Columns up to here are painted by a wide character already looked at.
    std::size_t covered_until = row_start;
    for (std::size_t index = row_start; index < row_end; ++index) {
      const Cell& cell = after[index];
      if (cell.is_continuation() && index < covered_until) {
        continue;
      }
      const uint16_t width = cell.is_continuation() ? 1 : covered_width(after, index, row_end);
      covered_until = index + width;
      if (comparable && same_cell(before[index], cell)) {
        continue;
      }
      out.push_back(CellChange{static_cast<uint16_t>(area.x + (index - row_start)),
                               static_cast<uint16_t>(area.y + row), &cell, width});
    }
  }
}

std::vector<CellChange> diff_buffers(const Buffer& previous, const Buffer& next) {
  std::vector<CellChange> out;
  diff_buffers(previous, next, out);
  return out;
}

}  // namespace tui
