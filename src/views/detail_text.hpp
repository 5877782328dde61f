#pragma once

#include <string>

#include "app/core/app_state.hpp"

namespace qm {

// The text of the detail pane for the current view and selected row: lines separated by line
// feeds. While raw evidence is on, the selected row's value (or the whole document when no row is
// selected) as indented JSON.
std::string detail_text(const AppState& state);

}  // namespace qm
