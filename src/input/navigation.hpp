#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/app_state.hpp"
#include "model/row_selection.hpp"

namespace qm {

// Reports a new selection of the Results view to the backend with `select_result`: a selected
// result other than `before`, noted before the user's key or click. Selections that start-up
// and reloads restore are not reported.
void report_selected_result(AppState& state, const std::optional<std::string>& before);

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
