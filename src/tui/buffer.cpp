#include "tui/buffer.hpp"

#include "base/unicode.hpp"

namespace tui {

Buffer::Buffer(Rect area) : area_(area), cells_(area.area()) {}

void Buffer::resize(Rect area) {
  area_ = area;
  cells_.assign(area.area(), Cell{});
}

void Buffer::reset() {
  for (Cell& cell : cells_) {
    cell.reset();
  }
}

Cell& Buffer::at(uint16_t x, uint16_t y) {
  return cells_[index(x, y)];
}
const Cell& Buffer::at(uint16_t x, uint16_t y) const {
  return cells_[index(x, y)];
}

void Buffer::put_cluster(uint16_t x, uint16_t y, std::string_view cluster, int width,
                         const Style& style) {
  // Overwriting part of a wide character blanks the rest of it, so no half is left behind: first
  // the owner and continuations left of x, then the continuations right of the new cluster.
  if (at(x, y).is_continuation()) {
    uint16_t owner = x;
    while (owner > area_.x && at(owner, y).is_continuation()) {
      --owner;
    }
    for (uint16_t column = owner; column < x; ++column) {
      at(column, y).blank();
    }
  }
  const auto end = static_cast<uint16_t>(x + width);
  for (uint16_t column = end; column < area_.right() && at(column, y).is_continuation(); ++column) {
    at(column, y).blank();
  }
  Cell& cell = at(x, y);
  cell.set_symbol(cluster);
  cell.apply(style);
  for (int i = 1; i < width; ++i) {
    Cell& continuation = at(static_cast<uint16_t>(x + i), y);
    continuation.symbol.clear();
    continuation.apply(style);
  }
}

void Buffer::put_byte(uint16_t x, uint16_t y, char byte, const Style& style) {
  const std::size_t at_x = index(x, y);
  Cell& cell = cells_[at_x];
  if (cell.is_continuation() || (x + 1 < area_.right() && cells_[at_x + 1].is_continuation())) {
    put_cluster(x, y, std::string_view(&byte, 1), 1, style);
    return;
  }
  cell.symbol.set_byte(byte);
  cell.apply(style);
}

uint16_t Buffer::set_string(uint16_t x, uint16_t y, std::string_view text, const Style& given,
                            uint16_t max_width) {
  // A copy: cells are written byte by byte, which the compiler must otherwise assume may change
  // a style read through a reference.
  const Style style = given;
  if (y < area_.y || y >= area_.bottom() || x >= area_.right()) {
    return x;
  }
  // Columns are counted from x even left of the buffer, so text there is cut, not shifted.
  unsigned column = x;
  const unsigned limit = std::min(unsigned{area_.right()}, unsigned{x} + max_width);
  std::size_t offset = 0;
  while (offset < text.size()) {
    const auto byte = static_cast<unsigned char>(text[offset]);
    // Printable ASCII followed by ASCII is a one-column cluster of its own: no lookups needed.
    if (byte >= 0x20 && byte < 0x7F &&
        (offset + 1 == text.size() || static_cast<unsigned char>(text[offset + 1]) < 0x80)) {
      if (column + 1 > limit) {
        break;
      }
      if (column >= area_.x) {
        put_byte(static_cast<uint16_t>(column), y, text[offset], style);
      }
      ++offset;
      ++column;
      continue;
    }
    const std::size_t length = base::grapheme_length(text, offset);
    const std::string_view cluster = text.substr(offset, length);
    offset += length;
    const base::DecodedChar first = base::decode_utf8(cluster, 0);
    if (first.value < 0x20 || (first.value >= 0x7F && first.value <= 0x9F)) {
      continue;
    }
    const auto width = static_cast<unsigned>(base::grapheme_width(cluster));
    if (width == 0) {
      if (column > area_.x && column > x) {
        auto owner = static_cast<uint16_t>(column - 1);
        while (owner > x && owner > area_.x && at(owner, y).is_continuation()) {
          --owner;
        }
        Cell& previous = at(owner, y);
        if (!previous.is_continuation()) {
          previous.symbol.append(cluster);
        }
      }
      continue;
    }
    if (column + width > limit) {
      break;
    }
    if (column < area_.x) {
      // A character cut by the left edge leaves blanks in its visible columns.
      for (unsigned blank = area_.x; blank < column + width; ++blank) {
        put_cluster(static_cast<uint16_t>(blank), y, " ", 1, style);
      }
    } else {
      put_cluster(static_cast<uint16_t>(column), y, cluster, static_cast<int>(width), style);
    }
    column += width;
  }
  return static_cast<uint16_t>(column);
}

uint16_t Buffer::set_line(uint16_t x, uint16_t y, const Line& line, uint16_t max_width) {
  uint16_t column = x;
  for (const Span& span : line.spans) {
    const uint16_t used = base::saturating_sub(column, x);
    if (used >= max_width)
      break;
    column =
        set_string(column, y, span.content, span.style, static_cast<uint16_t>(max_width - used));
  }
  return column;
}

void Buffer::set_style(Rect area, const Style& style) {
  const Rect clipped = area.intersection(area_);
  if (clipped.empty()) {
    return;
  }
  const Style local = style;  // a copy, as in set_string
  for (uint16_t y = clipped.y; y < clipped.bottom(); ++y) {
    Cell* const first = &at(clipped.x, y);
    for (Cell* cell = first; cell != first + clipped.width; ++cell) {
      cell->apply(local);
    }
  }
}

std::string Buffer::row_text(uint16_t y) const {
  std::string out;
  for (uint16_t x = area_.x; x < area_.right(); ++x) {
    out += at(x, y).symbol;
  }
  return out;
}

std::vector<std::string> Buffer::rows() const {
  std::vector<std::string> out;
  out.reserve(area_.height);
  for (uint16_t y = area_.y; y < area_.bottom(); ++y) {
    out.push_back(row_text(y));
  }
  return out;
}

std::string Buffer::to_string() const {
  std::string out;
  for (const std::string& row : rows()) {
    out += '"';
    out += row;
    out += "\"\n";
  }
  return out;
}

}  // namespace tui
