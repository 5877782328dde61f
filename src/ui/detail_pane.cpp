#include "ui/detail_pane.hpp"

#include "tui/paragraph.hpp"
#include "ui/detail_lines.hpp"
#include "ui/pane_block.hpp"

namespace qm {

std::string_view detail_title(const AppState& state) {
  if (state.raw_view) {
    return "Raw evidence";
  }
  if (!view_has_list(state.view)) {
    return view_name(state.view);
  }
  const Row* row = state.selected_row();
  const std::string_view id = row != nullptr ? std::string_view(row->id) : std::string_view{};
  if (state.view == View::health) {
    return id.starts_with("problem:") ? "Problem · y copies the check" : "System at a glance";
  }
  if (state.view == View::results && id.starts_with("run:")) {
    return "Run";
  }
  if (state.view == View::results && id.starts_with("check:")) {
    return "Stage";
  }
  return "Inspector · PgUp/PgDn";
}

void draw_detail_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state,
                      std::string_view text) {
  if (pane.width == 0 || pane.height == 0) {
    return;
  }
  const bool focused = state.detail_focus || !view_has_list(state.view);
  const tui::Block block = pane_block(detail_title(state), focused);
  block.render(pane, buffer);

  const tui::Rect inner = block.inner(pane);
  if (inner.empty()) {
    return;
  }
  // Only the lines in view reach the paragraph; the lines above them are at most measured.
  const DetailText detail(text);
  const DetailLines::Styling styling =
      state.raw_view ? DetailLines::Styling::plain : DetailLines::Styling::by_shape;
  tui::Paragraph paragraph;
  std::size_t first = state.detail_scroll;
  if (state.view == View::graph) {
    paragraph.wrap = tui::Wrap::none;
    paragraph.column_offset = state.pan;
  } else {
    const WrappedStart start = wrapped_start(detail, state.detail_scroll, inner.width);
    first = start.line;
    paragraph.wrap = tui::Wrap::words;
    paragraph.scroll = start.rows_above;
  }
  paragraph.render(DetailLines(detail, first, inner.height, styling), inner, buffer);
}

}  // namespace qm
