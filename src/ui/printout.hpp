#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/app_state.hpp"
#include "tui/buffer.hpp"

namespace qm {

// The heading above the detail text of a printed view: "Detail", and the selected row's label.
std::string printed_detail_heading(const AppState& state);

// Draws a detail text of the state's view whole, as print_view does: every line, wrapped (or cut
// in Graph) at `width` columns and styled as the pane styles it, a buffer of whole lines at a time.
void print_detail_text(const AppState& state, std::string_view text, uint16_t width,
                       const std::function<void(const tui::Buffer&)>& sink);

// Draws the state's view for a log or a report, as the panes would draw it at `width` columns
// without their borders: the list pane's title, every row of the list with the selection marked,
// a blank line, the detail heading, then the whole detail text of the selected row. The rows
// reach `sink` a buffer at a time, so a long text never needs one buffer for all of it; each
// buffer's rows are whole lines, in the screen's styles and colours.
void print_view(const AppState& state, uint16_t width,
                const std::function<void(const tui::Buffer&)>& sink);

}  // namespace qm
