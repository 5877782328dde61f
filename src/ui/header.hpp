#pragma once

#include "app/core/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"

namespace qm {

// Draws the header row: the brand, then as many of the groups (mode, product mode, capture side,
// platform, launch, problems, update time) as fit in order, and the backend status at the right
// when there is room for it.
void draw_header(tui::Buffer& buffer, tui::Rect row, const AppState& state);

}  // namespace qm
