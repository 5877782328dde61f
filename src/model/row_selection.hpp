#pragma once

#include <string_view>

#include "model/app_state.hpp"

namespace qm {

// Makes the selected id, the selected result and the connection cursor follow `selected`; a
// newly selected entity starts unpanned.
void sync_selection(AppState& state);

// Rebuilds the rows of the current view from the model, the search and the Results filter, and
// keeps the selection on the same id where it can (else the first row), clamped to the rows.
void rebuild_rows(AppState& state);

// Switches to `view` with the search cleared, the detail scrolled to the top and unpanned, and
// the list focused.
void reset_to_view(AppState& state, View view);

// Selects the first row with that id and synchronises; false when no row has it.
bool select_row_by_id(AppState& state, std::string_view id);

// Selects the row a user names: the first whose id is `name`, else whose id without its kind's
// prefix is, else whose label (leading spaces aside) is; false when none is.
bool select_row_named(AppState& state, std::string_view name);

}  // namespace qm
