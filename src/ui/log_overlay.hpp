#pragma once

#include <cstddef>
#include <cstdint>
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

// How the launch-log pane lays out those lines in a terminal of the size the state last recorded:
// the rows inside its borders, the first row of each line followed by the rows of all (one row a
// line unless they wrap), the first of the page's retained lines, and the line just after them
// and their end note.
struct LaunchLogRows {
  uint16_t height = 0;
  std::vector<std::size_t> starts;
  std::size_t page_begin = 0;
  std::size_t page_end = 0;
};
LaunchLogRows launch_log_rows(const AppState& state, bool wrap);

// Draws the launch-log pane into `box`: its lines scrolled by the viewer's line offset and either
// wrapped at the pane's width or panned by its column offset. The bottom border says "wrap" while
// they wrap and "…" while End is on its way through the pages.
void draw_launch_log(tui::Buffer& buffer, tui::Rect box, const AppState& state);

}  // namespace qm
