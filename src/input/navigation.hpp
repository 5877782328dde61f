#pragma once

#include <string_view>

#include "app/core/app_state.hpp"

namespace qm {

// Makes the selected id, the selected result and the connection cursor follow `selected`; in
// Results a new selection is reported to the backend while view saving is on.
void sync_selection(AppState& state);

// Rebuilds the rows of the current view from the model, the search and the Results filter, and
// keeps the selection on the same id where it can (else the first row), clamped to the rows.
void rebuild_rows(AppState& state);

// Switches to `view` with the search cleared, the detail scrolled to the top and the list focused.
void reset_to_view(AppState& state, View view);

// Selects the first row with that id and synchronises; false when no row has it.
bool select_row_by_id(AppState& state, std::string_view id);

// The view state reported to the backend: {tab, filter, selected_id}.
nlohmann::json view_state(const AppState& state);
// Sends `save_view` when a request channel is configured and the view state changed since it was
// last saved.
void save_view_state(AppState& state);

// Remembers the current place for Backspace (at most 64 places).
void push_history(AppState& state);
// Returns to the newest remembered place, if any.
void go_back(AppState& state);
// Shows the entity, frame or problem with that id in its view; ids of another form are ignored.
void go_to_entity(AppState& state, std::string_view id);

}  // namespace qm
