#include "ui/printout.hpp"

#include <algorithm>

#include "text/text.hpp"
#include "tui/wrap.hpp"
#include "ui/detail_lines.hpp"
#include "ui/detail_pane.hpp"
#include "ui/detail_scroll.hpp"
#include "ui/list_pane.hpp"
#include "ui/palette.hpp"
#include "ui/pane_block.hpp"
#include "ui/styles.hpp"
#include "views/detail_page.hpp"

namespace qm {

namespace {

// About this many cells go into one buffer; a longer list or text takes several.
constexpr std::size_t cells_per_buffer = 1u << 18;
// A buffer is at most this many rows high.
constexpr std::size_t rows_per_buffer_max = 0xFFFF;

using Sink = std::function<void(const tui::Buffer&)>;

tui::Buffer printed_buffer(uint16_t width, std::size_t rows) {
  tui::Buffer buffer(tui::Rect{0, 0, width, static_cast<uint16_t>(rows)});
  buffer.set_style(buffer.area(), tui::fg(palette::text_base).with_bg(palette::bg_base));
  return buffer;
}

void send(tui::Buffer& buffer, const AppState& state, const Sink& sink) {
  // Lowered as the screen lowers a frame without true colour.
  if (!state.truecolour) {
    lower_frame_colours(buffer);
  }
  sink(buffer);
}

std::size_t rows_per_buffer(uint16_t width) {
  return std::clamp<std::size_t>(cells_per_buffer / std::max<uint16_t>(width, 1), 1,
                                 rows_per_buffer_max);
}

void draw_heading(tui::Buffer& buffer, uint16_t y, std::string_view heading) {
  const uint16_t width = buffer.area().width;
  buffer.set_line(0, y, tui::Line(pane_title(truncate_end(heading, width), true)), width);
}

void print_list(const AppState& state, uint16_t width, const Sink& sink) {
  std::string title = list_title(state, false);
  while (title.ends_with(' ')) {
    title.pop_back();
  }
  {
    tui::Buffer heading = printed_buffer(width, 1);
    draw_heading(heading, 0, view_has_list(state.view) ? title : view_name(state.view));
    send(heading, state, sink);
  }
  if (!view_has_list(state.view)) {
    return;
  }
  const RowContext context = row_context(state);
  const std::size_t chunk = rows_per_buffer(width);
  for (std::size_t first = 0; first < state.rows.size(); first += chunk) {
    const std::size_t count = std::min(chunk, state.rows.size() - first);
    tui::Buffer buffer = printed_buffer(width, count);
    for (std::size_t i = 0; i < count; ++i) {
      draw_list_row(buffer, tui::Rect{0, static_cast<uint16_t>(i), width, 1}, context,
                    state.rows[first + i], first + i == state.selected);
    }
    send(buffer, state, sink);
  }
}

}  // namespace

// A run of whole lines at a time. Each run keeps the line after it in the text
// it draws, since a line's look depends on the next one; the buffer ends before that line.
void print_detail_text(const AppState& state, std::string_view text, uint16_t width,
                       const Sink& sink) {
  const bool wraps = detail_wrapping(state.view) == Wrapping::words;
  const std::size_t budget = rows_per_buffer(width);
  const DetailText detail(text);
  std::size_t first = 0;
  while (const std::optional<std::string_view> head = detail.line(first)) {
    std::size_t rows = 0;
    std::size_t end = first;
    while (const std::optional<std::string_view> line = detail.line(end)) {
      const std::size_t line_rows = wraps ? tui::wrapped_row_count(*line, width) : 1;
      if (end > first && rows + line_rows > budget) {
        break;
      }
      rows += line_rows;
      ++end;
    }
    const auto begin = static_cast<std::size_t>(head->data() - text.data());
    std::size_t stop = text.size();
    if (const std::optional<std::string_view> next = detail.line(end)) {
      stop = static_cast<std::size_t>(next->data() - text.data()) + next->size();
    }
    // A single line too long for one buffer is cut there, as the pane's scrolling stops there.
    tui::Buffer buffer = printed_buffer(width, std::min(rows, rows_per_buffer_max));
    draw_detail_text(buffer, buffer.area(), state, text.substr(begin, stop - begin), 0);
    send(buffer, state, sink);
    first = end;
  }
}

std::string printed_detail_heading(const AppState& state) {
  const Row* row = state.selected_row();
  if (row == nullptr) {
    return "Detail";
  }
  const std::string label = display_safe(row->label);
  const std::size_t start = label.find_first_not_of(' ');
  return start == std::string::npos ? "Detail" : "Detail · " + label.substr(start);
}

void print_view(const AppState& state, uint16_t width, const Sink& sink) {
  if (width == 0) {
    return;
  }
  print_list(state, width, sink);
  tui::Buffer heading = printed_buffer(width, 2);
  draw_heading(heading, 1, printed_detail_heading(state));
  send(heading, state, sink);
  print_detail_text(state, detail_page(state).text, width, sink);
}

}  // namespace qm
