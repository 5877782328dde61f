#include "tui/paragraph.hpp"

#include <string>
#include <vector>

#include "base/unicode.hpp"
#include "tui/wrap.hpp"

namespace tui {

namespace {

// Line `i` styled, or its plain text when the styled spans do not add up to the plain text.
Line styled_line(const LineSource& lines, std::size_t i, std::size_t text_size) {
  Line line = lines.styled(i);
  std::size_t size = 0;
  for (const Span& span : line.spans) {
    size += span.content.size();
  }
  if (size != text_size) {
    return Line(std::string(lines.text(i)));
  }
  return line;
}

// Draws bytes [begin, end) of `line` from column x of row y, at most `width` columns.
void draw_range(const Line& line, std::size_t begin, std::size_t end, uint16_t x, uint16_t y,
                uint16_t width, Buffer& buffer) {
  const unsigned limit = unsigned{x} + width;
  uint16_t column = x;
  std::size_t span_end = 0;
  for (const Span& span : line.spans) {
    const std::size_t span_begin = span_end;
    span_end += span.content.size();
    const std::size_t from = std::max(begin, span_begin);
    const std::size_t to = std::min(end, span_end);
    if (from >= to) {
      continue;
    }
    if (column >= limit) {
      break;
    }
    const std::string_view piece =
        std::string_view(span.content).substr(from - span_begin, to - from);
    column = buffer.set_string(column, y, piece, span.style, static_cast<uint16_t>(limit - column));
  }
}

// Where a line starts once its first `columns` columns are skipped: the byte offset and the
// columns still owed by a wide character that the cut went through.
struct ColumnCut {
  std::size_t offset = 0;
  unsigned blank = 0;
};

ColumnCut cut_columns(std::string_view text, uint16_t columns) {
  unsigned column = 0;
  std::size_t offset = 0;
  while (offset < text.size()) {
    const std::size_t length = base::grapheme_length(text, offset);
    const auto width = static_cast<unsigned>(base::grapheme_width(text.substr(offset, length)));
    if (column + width <= columns) {
      column += width;
      offset += length;
      continue;
    }
    if (column < columns) {
      return {offset + length, column + width - columns};
    }
    break;
  }
  return {offset, 0};
}

void render_wrapped(const LineSource& lines, uint16_t scroll, Rect area, Buffer& buffer) {
  std::size_t skip = scroll;
  uint16_t y = area.y;
  std::vector<WrappedRow> rows;
  for (std::size_t i = 0; i < lines.size() && y < area.bottom(); ++i) {
    const std::string_view text = lines.text(i);
    const std::size_t text_size = text.size();
    // Only the rows that will be drawn are laid out; the text view ends with the styled() call.
    const std::size_t room = area.bottom() - y;
    rows.clear();
    RowWrapper wrapper(text, area.width);
    while (rows.size() < room) {
      const std::optional<WrappedRow> row = wrapper.next();
      if (!row) {
        break;
      }
      if (skip > 0) {
        --skip;
      } else {
        rows.push_back(*row);
      }
    }
    if (rows.empty()) {
      continue;
    }
    const Line line = styled_line(lines, i, text_size);
    for (const WrappedRow& row : rows) {
      draw_range(line, row.begin, row.end, area.x, y, area.width, buffer);
      ++y;
    }
  }
}

void render_unwrapped(const LineSource& lines, uint16_t scroll, uint16_t column_offset, Rect area,
                      Buffer& buffer) {
  uint16_t y = area.y;
  for (std::size_t i = scroll; i < lines.size() && y < area.bottom(); ++i, ++y) {
    const std::string_view text = lines.text(i);
    const std::size_t text_size = text.size();
    const ColumnCut cut = cut_columns(text, column_offset);
    const Line line = styled_line(lines, i, text_size);
    const unsigned blank = std::min<unsigned>(cut.blank, area.width);
    if (blank > 0) {
      buffer.set_string(area.x, y, std::string(blank, ' '), Style{});
    }
    draw_range(line, cut.offset, text_size, static_cast<uint16_t>(area.x + blank), y,
               static_cast<uint16_t>(area.width - blank), buffer);
  }
}

}  // namespace

void Paragraph::render(const LineSource& lines, Rect area, Buffer& buffer) const {
  area = area.intersection(buffer.area());
  if (area.empty()) {
    return;
  }
  buffer.set_style(area, style);
  if (wrap == Wrap::words) {
    render_wrapped(lines, scroll, area, buffer);
  } else {
    render_unwrapped(lines, scroll, column_offset, area, buffer);
  }
}

void Paragraph::render(std::span<const Line> lines, Rect area, Buffer& buffer) const {
  render(StyledLines(lines), area, buffer);
}

}  // namespace tui
