#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tui/block.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "tui/line.hpp"

namespace qm {

// The styled pieces of a pane title: the part before the first " · " bold, the rest muted with
// every "·" dim; brighter while the pane has the focus. The characters stay as they are.
std::vector<tui::Span> pane_title(std::string_view title, bool focused);

// The rounded frame every pane and overlay uses: an accent border while focused, else a rule.
tui::Block pane_block(std::string_view title, bool focused);

// Writes `notes` (a scroll position, a pan) on the bottom border of a pane drawn in `pane`, each
// as " {note} ", right-aligned one border cell before the corner and one cell apart, muted like
// the title's rest. Notes that no longer fit are left out from the first one on.
void draw_border_notes(tui::Buffer& buffer, tui::Rect pane, const std::vector<std::string>& notes,
                       bool focused);

}  // namespace qm
