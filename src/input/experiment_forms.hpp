#pragma once

#include <cstddef>
#include <optional>

#include "model/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// Project `n` (plan) and `f` (conclude): opens the experiment form, for the selected experiment
// or else the active one, when the session has a task (a conclusion needs an experiment).
void open_experiment_form(AppState& state, FormState::Kind kind);

// A key while an experiment form is open: typing, Enter to take the answer (the last one sends
// the request and closes the form), Esc to close it without sending.
void form_key(AppState& state, const tui::KeyEvent& key);

// Project Enter on an experiment row: asks for it to become the active experiment.
void select_experiment(AppState& state);

// Project `o` on an experiment row: asks for that experiment's results and shows the Results view.
void open_experiment_results(AppState& state);

// The position in the document's `runs` of the run that the selected Results row belongs to.
std::optional<std::size_t> result_index_of_selection(const AppState& state);

}  // namespace qm
