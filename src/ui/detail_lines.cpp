#include "ui/detail_lines.hpp"

#include <cstring>

#include "tui/paragraph.hpp"
#include "tui/wrap.hpp"
#include "ui/line_style.hpp"

namespace qm {

std::optional<std::string_view> DetailText::line(std::size_t i) const {
  while (!all_found_ && starts_.size() <= i + 1) {
    const std::size_t from = starts_.back();
    const void* feed =
        from < text_.size() ? std::memchr(text_.data() + from, '\n', text_.size() - from) : nullptr;
    if (feed == nullptr) {
      all_found_ = true;
      if (from < text_.size()) {
        starts_.push_back(text_.size() + 1);
      }
      break;
    }
    starts_.push_back(static_cast<std::size_t>(static_cast<const char*>(feed) - text_.data()) + 1);
  }
  // starts_[i + 1] is one past the line feed that ends line i (or past the end of the text).
  if (i + 1 >= starts_.size()) {
    return std::nullopt;
  }
  const std::size_t begin = starts_[i];
  return text_.substr(begin, starts_[i + 1] - 1 - begin);
}

DetailLines::DetailLines(const DetailText& text, std::size_t first, std::size_t count,
                         Styling styling, std::optional<TextPlace> cursor)
    : text_(text), first_(first), styling_(styling), cursor_(cursor) {
  while (count_ < count && text_.line(first_ + count_)) {
    ++count_;
  }
}

std::string_view DetailLines::text(std::size_t i) const {
  return text_.line(first_ + i).value_or(std::string_view{});
}

tui::Line DetailLines::styled(std::size_t i) const {
  const std::string_view line = text(i);
  const LineShapes shapes =
      styling_ == Styling::changes ? LineShapes::with_changed_fields : LineShapes::common;
  tui::Line styled = styling_ == Styling::plain
                         ? tui::Line(std::string(line))
                         : style_detail_line(line, text_.line(first_ + i + 1), shapes);
  if (cursor_ && cursor_->line == first_ + i) {
    paint_cursor(styled, cursor_->offset);
  }
  return styled;
}

WrappedStart wrapped_start(const DetailText& text, uint16_t scroll, uint16_t width) {
  WrappedStart start;
  if (width == 0) {
    return start;
  }
  std::size_t skip = scroll;
  while (skip > 0) {
    const std::optional<std::string_view> line = text.line(start.line);
    if (!line) {
      break;
    }
    const std::size_t rows = tui::wrapped_row_count(*line, width);
    if (rows > skip) {
      start.rows_above = static_cast<uint16_t>(skip);
      break;
    }
    skip -= rows;
    ++start.line;
  }
  return start;
}

void draw_wrapped_text(tui::Buffer& buffer, tui::Rect area, std::string_view text,
                       DetailLines::Styling styling, uint16_t scroll, WrappedLook look) {
  if (area.empty()) {
    return;
  }
  // Only the lines in view reach the paragraph; the lines above them are at most measured.
  const DetailText detail(text);
  const WrappedStart start = wrapped_start(detail, scroll, area.width);
  tui::Paragraph paragraph;
  paragraph.wrap = tui::Wrap::words;
  paragraph.scroll = start.rows_above;
  paragraph.style = look.base;
  std::optional<TextPlace> cursor;
  if (look.cursor) {
    cursor = place_of(text, *look.cursor);
  }
  paragraph.render(DetailLines(detail, start.line, area.height, styling, cursor), area, buffer);
}

}  // namespace qm
