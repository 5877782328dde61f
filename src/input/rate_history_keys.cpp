#include "input/rate_history_keys.hpp"

#include <string>

#include "model/mode_keys.hpp"
#include "model/row_id.hpp"

namespace qm {

namespace {

std::size_t kept_samples(const AppState& state) {
  return state.rate_history.samples(state.rate_panel->topic).size();
}

}  // namespace

void open_rate_history(AppState& state) {
  const Row* row = state.selected_row();
  const std::optional<std::string_view> topic =
      row == nullptr ? std::nullopt : name_of(row->id, RowKind::topic);
  if (!topic) {
    state.status = row == nullptr ? "No topic selected; h shows a selected topic's rate history"
                                  : "h shows the rate history of a topic; this row is not a topic";
    return;
  }
  state.rate_panel = RatePanelState{std::string(*topic), 0};
}

void rate_history_key(AppState& state, const tui::KeyEvent& key) {
  const std::optional<RateHistoryCommand> command = command_for(rate_history_keys(), key);
  if (!command) {
    return;
  }
  std::size_t& cursor = state.rate_panel->cursor;
  switch (*command) {
    case RateHistoryCommand::older:
      if (cursor + 1 < kept_samples(state)) {
        ++cursor;
      }
      break;
    case RateHistoryCommand::newer:
      if (cursor > 0) {
        --cursor;
      }
      break;
    case RateHistoryCommand::close:
      state.rate_panel.reset();
      break;
  }
}

}  // namespace qm
