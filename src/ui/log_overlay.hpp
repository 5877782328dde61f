#pragma once

#include <cstddef>
#include <vector>

#include "model/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "tui/line.hpp"

namespace qm {

// The lines of the launch-log pane before scrolling: the launch and its log summary, the search
// and the page on hand ("pending" while no page for the current settings has arrived), that
// page's retained lines, and the declared readiness checks.
std::vector<tui::Line> launch_log_lines(const AppState& state);

// Where the page's retained lines begin among those lines.
std::size_t launch_log_page_row(const AppState& state);

// Draws the launch-log pane into `box`: its lines unwrapped, scrolled by the viewer's line offset
// and panned by its column offset.
void draw_launch_log(tui::Buffer& buffer, tui::Rect box, const AppState& state);

}  // namespace qm
