#include "ui/detail_pane.hpp"

#include "tui/paragraph.hpp"
#include "ui/detail_lines.hpp"
#include "ui/pane_block.hpp"

namespace qm {

void draw_detail_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state,
                      const DetailPage& page) {
  if (pane.width == 0 || pane.height == 0) {
    return;
  }
  const bool focused = state.detail_focus || !view_has_list(state.view);
  const tui::Block block = pane_block(page.title, focused);
  block.render(pane, buffer);

  const tui::Rect inner = block.inner(pane);
  if (inner.empty()) {
    return;
  }
  // Only the lines in view reach the paragraph; the lines above them are at most measured.
  const DetailText detail(page.text);
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
