#include "ui/detail_pane.hpp"

#include <string>
#include <vector>

#include "tui/paragraph.hpp"
#include "ui/detail_lines.hpp"
#include "ui/detail_scroll.hpp"
#include "ui/pane_block.hpp"

namespace qm {

namespace {

// What the bottom border says: how far the Graph is panned, and where the text is scrolled.
std::vector<std::string> border_notes(const AppState& state, const ScrollExtent& extent) {
  std::vector<std::string> notes;
  if (state.view == View::graph && state.pan > 0) {
    notes.push_back("→ " + std::to_string(state.pan));
  }
  if (std::string position = extent.position(state.detail_scroll); !position.empty()) {
    notes.push_back(std::move(position));
  }
  return notes;
}

template <typename Measure>
void draw_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state, const DetailPage& page,
               Measure measure) {
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
  const ScrollExtent extent = measure(inner);
  // A stored offset beyond the text (after a reload shortened it, or a resize) shows its end.
  const uint16_t scroll = extent.clamp(state.detail_scroll);
  draw_border_notes(buffer, pane, border_notes(state, extent), focused);
  draw_detail_text(buffer, inner, state, page.text, scroll);
}

}  // namespace

DetailLines::Styling detail_styling(const AppState& state) {
  if (state.raw_view) {
    return DetailLines::Styling::plain;
  }
  return state.view == View::changes ? DetailLines::Styling::changes
                                     : DetailLines::Styling::by_shape;
}

void draw_detail_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state,
                      const DetailPage& page) {
  draw_pane(buffer, pane, state, page, [&](tui::Rect inner) {
    return text_extent(page.text, inner, detail_wrapping(state.view));
  });
}

void draw_detail_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state, KeptPage& kept) {
  draw_pane(buffer, pane, state, kept.page(),
            [&](tui::Rect inner) { return kept.extent(inner, detail_wrapping(state.view)); });
}

void draw_detail_text(tui::Buffer& buffer, tui::Rect area, const AppState& state,
                      std::string_view text, uint16_t scroll) {
  const DetailLines::Styling styling = detail_styling(state);
  if (detail_wrapping(state.view) == Wrapping::words) {
    draw_wrapped_text(buffer, area, text, styling, scroll);
    return;
  }
  // The graph's lines are not wrapped; the pan reveals what is cut at the border. Only the lines
  // in view reach the paragraph.
  const DetailText detail(text);
  tui::Paragraph paragraph;
  paragraph.wrap = tui::Wrap::none;
  paragraph.column_offset = state.pan;
  paragraph.render(DetailLines(detail, scroll, area.height, styling), area, buffer);
}

}  // namespace qm
