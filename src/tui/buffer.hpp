#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tui/geometry.hpp"
#include "tui/line.hpp"
#include "tui/style.hpp"
#include "tui/symbol.hpp"

namespace tui {

// One terminal cell: a grapheme cluster and its colours. The cell right of a wide character is a
// continuation cell with an empty symbol.
struct Cell {
  Symbol symbol;
  Color fg;
  Color bg;
  Modifiers modifiers;

  bool operator==(const Cell&) const = default;

  bool is_continuation() const { return symbol.empty(); }
  void reset() {
    symbol.set_byte(' ');
    fg = Color{};
    bg = Color{};
    modifiers = Modifiers{};
  }
  // Makes the cell a blank, keeping its colours.
  void blank() { symbol.set_byte(' '); }
  void set_symbol(std::string_view cluster) {
    if (cluster.size() == 1) {
      symbol.set_byte(cluster[0]);
    } else {
      symbol.assign(cluster);
    }
  }
  void apply(const Style& style) {
    if (style.fg)
      fg = *style.fg;
    if (style.bg)
      bg = *style.bg;
    modifiers = modifiers.without(style.remove).with(style.add);
  }
};

// Small enough that a 200×60 frame and the one before it stay in the cache together.
static_assert(sizeof(Cell) == 24);

// A grid of cells covering `area`. Coordinates are absolute; every write clips to the area.
class Buffer {
 public:
  Buffer() = default;
  explicit Buffer(Rect area);

  Rect area() const { return area_; }
  void resize(Rect area);
  // Every cell back to a blank with default colours.
  void reset();

  Cell& at(uint16_t x, uint16_t y);
  const Cell& at(uint16_t x, uint16_t y) const;
  bool contains(uint16_t x, uint16_t y) const { return area_.contains({x, y}); }
  const std::vector<Cell>& cells() const { return cells_; }
  std::vector<Cell>& cells() { return cells_; }

  // Writes `text` from (x, y), at most `max_width` columns and never past the right edge; columns
  // left of the buffer are cut off. Control characters are dropped, zero-width characters join the
  // cell before them, and a wide character that would not fit whole is not written. Overwriting
  // part of a wide character blanks the rest of it. Returns the column after the last written cell.
  uint16_t set_string(uint16_t x, uint16_t y, std::string_view text, const Style& style,
                      uint16_t max_width = 0xFFFF);
  // Puts `cluster`, which the caller knows to be one printable column (a border glyph), at
  // (x, y) if that lies inside the buffer.
  void set_narrow_symbol(uint16_t x, uint16_t y, std::string_view cluster, const Style& style) {
    if (contains(x, y)) {
      put_cluster(x, y, cluster, 1, style);
    }
  }
  // The spans of `line`, one after another; returns the column after the last written cell.
  uint16_t set_line(uint16_t x, uint16_t y, const Line& line, uint16_t max_width = 0xFFFF);
  // Patches the style of every cell of `area` that lies inside the buffer.
  void set_style(Rect area, const Style& style);

  // The text of row `y` (continuation cells contribute nothing).
  std::string row_text(uint16_t y) const;
  std::vector<std::string> rows() const;
  // The rows joined with line feeds, for test failure output.
  std::string to_string() const;

 private:
  std::size_t index(uint16_t x, uint16_t y) const {
    return std::size_t{static_cast<uint16_t>(y - area_.y)} * area_.width +
           static_cast<uint16_t>(x - area_.x);
  }
  // Puts one cluster of `width` columns at (x, y), mending wide characters it overwrites.
  void put_cluster(uint16_t x, uint16_t y, std::string_view cluster, int width, const Style& style);
  // The same for one printable ASCII byte, the common case.
  void put_byte(uint16_t x, uint16_t y, char byte, const Style& style);

  Rect area_;
  std::vector<Cell> cells_;
};

}  // namespace tui
