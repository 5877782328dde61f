#pragma once

#include <string_view>
#include <vector>

#include "tui/block.hpp"
#include "tui/line.hpp"

namespace qm {

// The styled pieces of a pane title: the part before the first " · " bold, the rest muted with
// every "·" dim; brighter while the pane has the focus. The characters stay as they are.
std::vector<tui::Span> pane_title(std::string_view title, bool focused);

// The rounded frame every pane and overlay uses: an accent border while focused, else a rule.
tui::Block pane_block(std::string_view title, bool focused);

}  // namespace qm
