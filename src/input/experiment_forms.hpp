#pragma once

#include <cstddef>
#include <optional>

#include "app/core/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// Project `n` (plan) and `f` (conclude): opens the experiment form. Forms are not offered yet, so
// this leaves the state as it is.
void open_experiment_form(AppState& state, FormState::Kind kind);

// A key while an experiment form is open. Esc closes the form.
void form_key(AppState& state, const tui::KeyEvent& key);

// Project Enter on an experiment row: makes it the active experiment. Not offered yet.
void select_experiment(AppState& state);

// Project `o`: asks for the selected experiment's results and shows them. Not offered yet.
void open_experiment_results(AppState& state);

// The position in the document's `runs` of the run that the selected Results row belongs to.
std::optional<std::size_t> result_index_of_selection(const AppState& state);

}  // namespace qm
