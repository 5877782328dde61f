#pragma once

#include <string_view>

#include "app/core/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"

namespace qm {

// The detail pane's title for the view, the selected row and the raw-evidence flag.
std::string_view detail_title(const AppState& state);

// Draws the detail pane with `text` in it: its frame and title, then the lines styled by shape
// (plain for raw evidence), wrapped at the pane's width and scrolled by `detail_scroll`; in the
// Graph view unwrapped and panned by `pan` instead. Only the lines in view are styled.
void draw_detail_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state,
                      std::string_view text);

}  // namespace qm
