#pragma once

#include <cstdint>
#include <vector>

#include "tui/buffer.hpp"

namespace tui {

// One cell of the next frame that the terminal must be told about. `cell` points into the next
// buffer and is valid while that buffer is unchanged; `width` is the number of columns the cell
// covers (its display width, as far as continuation cells follow it).
struct CellChange {
  uint16_t x = 0;
  uint16_t y = 0;
  const Cell* cell = nullptr;
  uint16_t width = 1;
};

// The cells of `next` that differ from `previous`, row by row from the left. Continuation cells
// are never listed: the wide character to their left paints them. A continuation cell that no
// wide character covers is listed (and drawn as a blank) when it differs. Buffers of different
// areas count every cell of `next` as changed. The list in `out` is replaced.
void diff_buffers(const Buffer& previous, const Buffer& next, std::vector<CellChange>& out);
std::vector<CellChange> diff_buffers(const Buffer& previous, const Buffer& next);

}  // namespace tui
