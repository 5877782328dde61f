#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "ui/detail_lines.hpp"

namespace qm {

// Where each overlay sits in the terminal's `area`, worked out from its width W and height H; a
// size that would go below zero is zero.
// Help: the middle three quarters each way.
tui::Rect help_box(tui::Rect area);
// Launch log and assistant: all but a margin of two cells on every side.
tui::Rect log_box(tui::Rect area);
tui::Rect assistant_box(tui::Rect area);
// Experiment form: four fifths of the width, the middle half of the height.
tui::Rect form_box(tui::Rect area);
// Command palette: centred, two rows from the top, 6W/10 wide within [min(W, 40), 84], as high as
// its `matches` entries need (one row more when there are none), at most H - 2.
uint16_t palette_width(uint16_t terminal_width);
tui::Rect palette_box(tui::Rect area, std::size_t matches);

// Restyles every cell below the header row so the panels stand out: dim text on the base
// background, not bold.
void dim_below_header(tui::Buffer& buffer, tui::Rect area);

// Empties `box` cell by cell, and the columns just left and right of it over its height where
// there are any, so nothing drawn before shows through or touches the panel's borders. The
// emptied cells look like the dimmed frame around them: dim text on the base background.
void clear_box(tui::Buffer& buffer, tui::Rect box);

// Draws the bordered frame of one panel part, its whole area base text on the panel background,
// and returns the area inside the borders.
tui::Rect draw_panel_frame(tui::Buffer& buffer, tui::Rect part, std::string_view title,
                           bool focused = true);

// Draws a panel of text to read in `box`: cleared, framed with `title`, the text wrapped and
// scrolled by `scroll` (kept within the text), and its position on the bottom border when the
// text is longer than the panel.
void draw_text_panel(tui::Buffer& buffer, tui::Rect box, std::string_view title,
                     std::string_view text, DetailLines::Styling styling, uint16_t scroll,
                     WrappedLook look = {});

}  // namespace qm
