#pragma once

#include <string_view>

#include "model/app_state.hpp"
#include "tui/terminal.hpp"
#include "ui/detail_memo.hpp"

namespace qm {

// Draws the whole screen into `frame` from the state: background, header, view switcher, list
// pane, detail pane with the current view's page, status row, footer and the open overlays, with
// colours lowered to the 256-colour palette when true colour is off.
void draw_frame(tui::Frame& frame, const AppState& state);

// The same with the detail page taken from `memo` when it holds the page already, so that a page
// is built once while its inputs stay the same; what is drawn is the same.
void draw_frame(tui::Frame& frame, const AppState& state, DetailMemo& memo);

// The same with `detail` as the detail pane's text instead of the current view's.
void draw_frame(tui::Frame& frame, const AppState& state, std::string_view detail);

}  // namespace qm
