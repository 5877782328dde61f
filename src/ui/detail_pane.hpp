#pragma once

#include <cstdint>
#include <string_view>

#include "model/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "ui/detail_lines.hpp"
#include "ui/detail_memo.hpp"
#include "views/detail_page.hpp"

namespace qm {

// How the detail pane styles the current view's lines: plain for raw evidence, else by shape,
// with the changed fields of the Changes detail in the warning colour.
DetailLines::Styling detail_styling(const AppState& state);

// Draws the detail pane with `page` in it: its frame and title, then the lines styled by shape
// (plain for raw evidence), wrapped at the pane's width and scrolled by `detail_scroll` (no
// further than the last line's reaching the bottom); in the Graph view unwrapped and panned by
// `pan` instead. The bottom border shows the pan and, for a text longer than the pane, the rows
// in view. Only the lines in view are styled.
void draw_detail_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state,
                      const DetailPage& page);

// The same with a kept page, whose extent is measured once per width.
void draw_detail_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state, KeptPage& kept);

// Draws the lines of a detail text into `area` as the pane draws them inside its borders:
// styled by shape (plain for raw evidence), wrapped at the area's width (cut and panned in the
// Graph view), scrolled down by `scroll` rows.
void draw_detail_text(tui::Buffer& buffer, tui::Rect area, const AppState& state,
                      std::string_view text, uint16_t scroll);

}  // namespace qm
