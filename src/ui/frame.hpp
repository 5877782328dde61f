#pragma once

#include <string_view>

#include "app/core/app_state.hpp"
#include "tui/terminal.hpp"

namespace qm {

// Draws the whole screen into `frame` from the state: background, header, view switcher, list
// pane, detail pane with the current view's detail text, status row and footer, with colours
// lowered to the 256-colour palette when true colour is off.
//
// The state is taken by reference for one write only: the frame's width and height are recorded
// in `frame_width` and `frame_height` first, for mouse hit-testing and the width rules of key
// handling. Nothing else in the state changes. Run it as `terminal.draw([&](tui::Frame& frame) {
// draw_frame(frame, state); })`.
void draw_frame(tui::Frame& frame, AppState& state);

// The same with `detail` as the detail pane's text instead of the current view's.
void draw_frame(tui::Frame& frame, AppState& state, std::string_view detail);

}  // namespace qm
