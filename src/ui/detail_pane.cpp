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
  const DetailLines::Styling styling =
      state.raw_view ? DetailLines::Styling::plain : DetailLines::Styling::by_shape;
  if (state.view != View::graph) {
    draw_wrapped_text(buffer, inner, page.text, styling, state.detail_scroll);
    return;
  }
  // The graph's lines are not wrapped; the pan reveals what is cut at the border. Only the lines
  // in view reach the paragraph.
  const DetailText detail(page.text);
  tui::Paragraph paragraph;
  paragraph.wrap = tui::Wrap::none;
  paragraph.column_offset = state.pan;
  paragraph.render(DetailLines(detail, state.detail_scroll, inner.height, styling), inner, buffer);
}

}  // namespace qm
