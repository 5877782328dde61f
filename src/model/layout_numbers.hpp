#pragma once

#include <cstdint>

namespace qm {

// Layout numbers that key handling must agree on with the frame and the overlays.

// At this width and above the frame shows the list and the detail side by side, with a view rail
// instead of a tab strip.
inline constexpr uint16_t wide_layout_width = 100;

// Rows of the terminal that the launch-log overlay spends on its frame, headings and search line
// rather than on log lines, and the most lines one page of the log may hold.
inline constexpr uint16_t log_overlay_chrome_rows = 17;
inline constexpr uint16_t log_page_line_limit = 80;

}  // namespace qm
