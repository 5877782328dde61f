#include "input/experiment_forms.hpp"

#include <string>

#include "app/core/view_rows.hpp"

namespace qm {

void open_experiment_form(AppState& /*state*/, FormState::Kind /*kind*/) {}

void form_key(AppState& state, const tui::KeyEvent& key) {
  if (key.code == tui::KeyCode::escape) {
    state.form.reset();
  }
}

void select_experiment(AppState& /*state*/) {}

void open_experiment_results(AppState& /*state*/) {}

std::optional<std::size_t> result_index_of_selection(const AppState& state) {
  const Row* row = state.selected_row();
  const auto runs = array_of(member(state.document(), "runs"));
  if (row == nullptr || !runs.has_value()) {
    return std::nullopt;
  }
  for (std::size_t position = 0; position < runs->size(); ++position) {
    const std::string key = run_key((*runs)[position], position);
    if (row->id == "run:" + key || row->id.starts_with("check:" + key + ":")) {
      return position;
    }
  }
  return std::nullopt;
}

}  // namespace qm
