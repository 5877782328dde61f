#include "tui/wrap.hpp"

#include "base/unicode.hpp"

namespace tui {

namespace {

std::size_t skip_spaces(std::string_view text, std::size_t offset) {
  while (offset < text.size() && text[offset] == ' ') {
    ++offset;
  }
  return offset;
}

// The row that starts at `start`; `next` receives where the following row starts.
WrappedRow next_row(std::string_view text, std::size_t start, uint16_t width, std::size_t& next) {
  constexpr std::size_t none = std::string_view::npos;
  unsigned column = 0;
  bool has_word = false;
  bool in_spaces = false;
  std::size_t spaces_begin = none;
  std::size_t spaces_end = none;
  std::size_t offset = start;
  while (offset < text.size()) {
    std::size_t length = 1;
    unsigned cluster_width = 0;
    const auto byte = static_cast<unsigned char>(text[offset]);
    const bool ascii_alone = byte < 0x80 && (offset + 1 == text.size() ||
                                             static_cast<unsigned char>(text[offset + 1]) < 0x80);
    if (ascii_alone) {
      cluster_width = byte >= 0x20 && byte < 0x7F ? 1 : 0;
    } else {
      length = base::grapheme_length(text, offset);
      cluster_width = static_cast<unsigned>(base::grapheme_width(text.substr(offset, length)));
    }
    const bool space = byte == ' ' && length == 1;
    if (column + cluster_width > width) {
      if (has_word && space) {
        next = skip_spaces(text, offset);
        return {start, in_spaces ? spaces_begin : offset};
      }
      if (has_word && spaces_begin != none) {
        next = spaces_end;
        return {start, spaces_begin};
      }
      if (offset == start) {
        next = offset + length;
        return {start, next};
      }
      next = offset;
      return {start, offset};
    }
    if (!space) {
      has_word = true;
      in_spaces = false;
    } else if (has_word) {
      if (!in_spaces) {
        spaces_begin = offset;
        in_spaces = true;
      }
      spaces_end = offset + length;
    }
    column += cluster_width;
    offset += length;
  }
  next = text.size();
  return {start, text.size()};
}

}  // namespace

RowWrapper::RowWrapper(std::string_view text, uint16_t width)
    // A byte never takes more than one column, so a text no longer than the width fits; longer
    // texts are measured by the walk itself.
    : text_(text), width_(width), done_(width == 0), fits_(text.size() <= width) {}

std::optional<WrappedRow> RowWrapper::next() {
  if (done_) {
    return std::nullopt;
  }
  if (fits_) {
    done_ = true;
    return WrappedRow{0, text_.size()};
  }
  std::size_t following = start_;
  const WrappedRow row = next_row(text_, start_, width_, following);
  start_ = following;
  done_ = start_ >= text_.size();
  return row;
}

std::vector<WrappedRow> wrap_rows(std::string_view text, uint16_t width) {
  std::vector<WrappedRow> rows;
  RowWrapper wrapper(text, width);
  while (const std::optional<WrappedRow> row = wrapper.next()) {
    rows.push_back(*row);
  }
  return rows;
}

std::size_t wrapped_row_count(std::string_view text, uint16_t width) {
  std::size_t count = 0;
  RowWrapper wrapper(text, width);
  while (wrapper.next()) {
    ++count;
  }
  return count;
}

std::size_t wrapped_height(const LineSource& lines, uint16_t width) {
  if (width == 0) {
    return 0;
  }
  std::size_t height = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    height += wrapped_row_count(lines.text(i), width);
  }
  return height;
}

}  // namespace tui
