#include "ui/frame.hpp"

#include <string>

#include "ui/detail_pane.hpp"
#include "ui/footer.hpp"
#include "ui/frame_layout.hpp"
#include "ui/header.hpp"
#include "ui/list_pane.hpp"
#include "ui/overlays.hpp"
#include "ui/palette.hpp"
#include "ui/status_row.hpp"
#include "ui/styles.hpp"
#include "ui/view_switcher.hpp"
#include "views/detail_page.hpp"

namespace qm {

namespace {

template <typename DrawDetail>
void compose(tui::Buffer& buffer, const AppState& state, DrawDetail draw_detail) {
  const tui::Rect area = buffer.area();
  buffer.set_style(area, tui::fg(palette::text_base).with_bg(palette::bg_base));
  const FrameLayout layout = compute_frame_layout(area, state.view, state.detail_focus);

  draw_header(buffer, layout.header, state);
  if (layout.tab_strip) {
    draw_tab_strip(buffer, *layout.tab_strip, state.view);
  }
  if (layout.rail) {
    draw_view_rail(buffer, *layout.rail, state);
  }
  if (layout.list) {
    draw_list_pane(buffer, *layout.list, state, !layout.rail.has_value());
  }
  draw_detail(layout.detail);
  buffer.set_line(layout.status.x, layout.status.y, status_line(state, layout.status.width),
                  layout.status.width);
  buffer.set_style(layout.footer, tui::bg(palette::bg_bar));
  buffer.set_line(layout.footer.x, layout.footer.y, footer_line(state.view, layout.footer.width),
                  layout.footer.width);
  draw_overlays(buffer, state);

  // The colours are lowered last, so the panels are lowered with the rest.
  if (!state.truecolour) {
    lower_frame_colours(buffer);
  }
}

}  // namespace

void draw_frame(tui::Frame& frame, const AppState& state) {
  tui::Buffer& buffer = frame.buffer();
  const DetailPage page = detail_page(state);
  compose(buffer, state, [&](tui::Rect pane) { draw_detail_pane(buffer, pane, state, page); });
}

void draw_frame(tui::Frame& frame, const AppState& state, DetailMemo& memo) {
  tui::Buffer& buffer = frame.buffer();
  KeptPage& kept = memo.page(state);
  compose(buffer, state, [&](tui::Rect pane) { draw_detail_pane(buffer, pane, state, kept); });
}

void draw_frame(tui::Frame& frame, const AppState& state, std::string_view detail) {
  tui::Buffer& buffer = frame.buffer();
  DetailPage page = detail_page(state);
  page.text = detail;
  compose(buffer, state, [&](tui::Rect pane) { draw_detail_pane(buffer, pane, state, page); });
}

}  // namespace qm
