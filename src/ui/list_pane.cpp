#include "ui/list_pane.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "ui/list_rows.hpp"
#include "ui/palette.hpp"
#include "ui/pane_block.hpp"

namespace qm {

std::string list_title(const AppState& state, bool narrow) {
  const std::size_t count = state.rows.size();
  const std::size_t position = count == 0 ? 0 : state.selected + 1;
  const std::string_view filter = state.view == View::results
                                      ? results_filter_name(state.results_status_filter)
                                      : std::string_view{};
  return fmt::format("{} · {}/{} {}{}", view_name(state.view), position, count, filter,
                     narrow ? " · Tab detail" : "");
}

std::string empty_list_text(const AppState& state) {
  if (!state.filter.empty()) {
    return std::string(no_matches_text);
  }
  if (state.view == View::results && state.results_status_filter != ResultsFilter::all) {
    return fmt::format(" Nothing with status {}. s cycles the status filter.",
                       results_filter_name(state.results_status_filter));
  }
  return {};
}

std::optional<std::string> list_order_note(const AppState& state) {
  if (!traits_of(state.view).sorts || state.list_order() == ListOrder::document) {
    return std::nullopt;
  }
  return fmt::format("order: {}", list_order_name(state.list_order()));
}

std::size_t first_visible_row(std::size_t selected, uint16_t pane_height) {
  if (pane_height < 3) {
    return 0;
  }
  const std::size_t inner = pane_height - 2u;
  return selected < inner - 1 ? 0 : selected - inner + 1;
}

ListWindow list_window(tui::Rect pane, std::size_t selected, std::size_t row_count) {
  ListWindow window;
  window.inner = pane_block("", false).inner(pane);
  window.first = first_visible_row(selected, pane.height);
  if (window.first < row_count) {
    window.shown = std::min<std::size_t>(row_count - window.first, window.inner.height);
  }
  return window;
}

void draw_list_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state, bool narrow) {
  if (pane.empty()) {
    return;
  }
  const tui::Block block = pane_block(list_title(state, narrow), !state.detail_focus);
  block.render(pane, buffer);
  if (const auto note = list_order_note(state)) {
    draw_border_notes(buffer, pane, {*note}, !state.detail_focus);
  }
  const ListWindow window = list_window(pane, state.selected, state.rows.size());
  const tui::Rect inner = window.inner;
  if (inner.empty()) {
    return;
  }
  if (state.rows.empty()) {
    const std::string empty = empty_list_text(state);
    buffer.set_string(inner.x, inner.y, empty, tui::fg(palette::text_muted), inner.width);
    return;
  }
  const RowContext context = row_context(state);
  const std::size_t first = window.first;
  for (std::size_t i = first; i < first + window.shown; ++i) {
    const auto y = static_cast<uint16_t>(inner.y + (i - first));
    draw_list_row(buffer, tui::Rect{inner.x, y, inner.width, 1}, context, state.rows[i],
                  i == state.selected);
  }
}

void draw_list_row(tui::Buffer& buffer, tui::Rect line, const RowContext& context, const Row& row,
                   bool selected) {
  // The secondary text is put at the right edge directly: the row between is blank already.
  const RowPieces pieces = list_row_pieces(context, row, selected, line.width);
  const uint16_t end = buffer.set_line(line.x, line.y, pieces.head, line.width);
  if (pieces.secondary) {
    const auto x = static_cast<uint16_t>(std::max<std::size_t>(
        end, line.right() - std::min<std::size_t>(pieces.secondary_width, line.width)));
    buffer.set_string(x, line.y, pieces.secondary->content, pieces.secondary->style,
                      base::saturating_sub(line.right(), x));
  }
  if (selected) {
    buffer.set_style(tui::Rect{line.x, line.y, line.width, 1}, tui::bg(palette::bg_selection));
  }
}

}  // namespace qm
