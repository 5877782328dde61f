#pragma once

#include <string_view>

#include "model/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"

namespace qm {

// "AI-assisted" when the document's `product_mode` says so, else "Standard".
std::string_view product_mode_text(const Json& document);

// Draws the header row: the brand, then the groups (mode, product mode, capture side, platform,
// launch, problems, update time) in that order, those of least importance left out while they
// do not all fit, and the backend status at the right when there is room for it.
void draw_header(tui::Buffer& buffer, tui::Rect row, const AppState& state);

}  // namespace qm
