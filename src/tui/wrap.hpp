#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tui/line_source.hpp"

namespace tui {

// The bytes [begin, end) of a line that one wrapped row shows.
struct WrappedRow {
  std::size_t begin = 0;
  std::size_t end = 0;

  bool operator==(const WrappedRow&) const = default;
};

// Walks the rows of `text` word-wrapped at `width` columns, one at a time, as wrap_rows lays them.
class RowWrapper {
 public:
  RowWrapper(std::string_view text, uint16_t width);
  // The next row, or nothing after the last one.
  std::optional<WrappedRow> next();

 private:
  std::string_view text_;
  uint16_t width_;
  std::size_t start_ = 0;
  bool done_ = false;
  bool fits_ = false;
};

// Word-wraps `text` into rows of at most `width` columns. A row breaks at the last run of spaces
// that follows a word and starts at or before the width; that run is dropped. Leading spaces stay.
// A word wider than the row is split at the width, and a character wider than the whole row takes
// a row of its own. An empty text is one row; a width of 0 gives no rows.
std::vector<WrappedRow> wrap_rows(std::string_view text, uint16_t width);
// The number of rows wrap_rows gives, without building them.
std::size_t wrapped_row_count(std::string_view text, uint16_t width);
// The wrapped rows of every line of `lines` added up.
std::size_t wrapped_height(const LineSource& lines, uint16_t width);

}  // namespace tui
