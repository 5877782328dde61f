#include "input/commands.hpp"

#include <cstdint>
#include <string>
#include <utility>

#include "input/assistant_controls.hpp"
#include "input/clipboard.hpp"
#include "input/command_palette.hpp"
#include "input/copy_keys.hpp"
#include "input/experiment_forms.hpp"
#include "input/filter_entry.hpp"
#include "input/log_viewer.hpp"
#include "input/navigation.hpp"
#include "input/playback_seek.hpp"
#include "input/rate_history_keys.hpp"
#include "input/request_channel.hpp"
#include "input/scrolling.hpp"
#include "input/selection_movement.hpp"
#include "model/layout_numbers.hpp"
#include "model/limits.hpp"
#include "model/row_id.hpp"
#include "tui/geometry.hpp"

namespace qm {

namespace {

using tui::KeyCode;

void step_view(AppState& state, std::size_t offset) {
  reset_to_view(state, view_at(view_index(state.view) + offset));
}

void switch_side(AppState& state) {
  if (!member(state.document(), "baseline").is_object()) {
    state.status =
        "No baseline capture in this session; b switches sides only when one is supplied";
    return;
  }
  const Side side = state.baseline_shown() ? Side::current : Side::baseline;
  // The old rows point into the old model, which must outlive their rebuild.
  const SessionModel previous = std::exchange(state.model, show_side(state.model, side));
  rebuild_rows(state);
  state.status = "Viewing " + std::string(side_name(side)) + " capture";
}

// Health Enter and `g`.
void go_to_selected_problem(AppState& state) {
  const Row* row = state.selected_row();
  if (row == nullptr) {
    return;
  }
  if (is_string_equal(member(*row->value, "detector"), "launch")) {
    open_retained_launch_log(state);
  } else if (const auto target = string_of(member(*row->value, "target"))) {
    go_to_entity(state, std::string(*target));
  }
}

void select_first_row(AppState& state) {
  state.selected = 0;
  state.detail_scroll = 0;
  sync_selection(state);
}

void select_last_row(AppState& state) {
  state.selected = state.rows.empty() ? 0 : state.rows.size() - 1;
  state.detail_scroll = 0;
  sync_selection(state);
}

void escape(AppState& state) {
  if (state.detail_focus && state.frame_width < wide_layout_width) {
    state.detail_focus = false;
  } else {
    state.filter.clear();
    rebuild_rows(state);
  }
}

void cycle_results_filter(AppState& state) {
  state.results_status_filter = static_cast<ResultsFilter>(
      (static_cast<std::size_t>(state.results_status_filter) + 1) % results_filter_count);
  rebuild_rows(state);
}

// Topics and Nodes `s`: the next order, keeping the selected row selected.
void cycle_list_order(AppState& state) {
  ListOrder& order = state.list_orders[view_index(state.view)];
  order = next_list_order(order);
  rebuild_rows(state);
  std::string_view how = "in document order";
  switch (order) {
    case ListOrder::document:
      break;
    case ListOrder::problems:
      how = "with problems first";
      break;
    case ListOrder::rate:
      how = "by rate, lowest first, unmeasured last";
      break;
    case ListOrder::endpoints:
      how = "by endpoints, most first";
      break;
  }
  state.status = std::string(view_name(state.view)) + " " + std::string(how);
}

void attach_result(AppState& state) {
  if (const auto index = result_index_of_selection(state)) {
    send_request(state, RequestAction::attach_experiment,
                 RequestPayload().number("result_index", std::uint64_t{*index}));
  }
}

void pause_or_resume(AppState& state) {
  const bool paused =
      is_string_equal(member_path(state.document(), {"runtime", "playback", "state"}), "paused");
  send_request(state, paused ? RequestAction::resume : RequestAction::pause);
}

}  // namespace

bool run_command(AppState& state, Command command, const tui::KeyEvent& key) {
  switch (command) {
    case Command::none:
      break;
    case Command::quit:
      save_view_state(state);
      return false;
    case Command::go_back:
      go_back(state);
      break;
    case Command::follow:
      follow_connection(state);
      break;
    case Command::move_up:
      move_up(state);
      break;
    case Command::move_down:
      move_down(state);
      break;
    case Command::pan:
      state.pan = key.code == KeyCode::left ? base::saturating_sub(state.pan, limits::pan_step)
                                            : base::saturating_add(state.pan, limits::pan_step);
      break;
    case Command::first_row:
      select_first_row(state);
      break;
    case Command::last_row:
      select_last_row(state);
      break;
    case Command::scroll_up:
      scroll_detail(state, -int{limits::detail_page_step});
      break;
    case Command::scroll_down:
      scroll_detail(state, limits::detail_page_step);
      break;
    case Command::toggle_focus:
      state.detail_focus = !state.detail_focus;
      state.detail_scroll = 0;
      break;
    case Command::previous_view:
      step_view(state, view_count - 1);
      break;
    case Command::next_view:
      step_view(state, 1);
      break;
    case Command::escape:
      escape(state);
      break;
    case Command::select_view:
      reset_to_view(state, key.character == U'0' ? View::project : view_at(key.character - U'1'));
      break;
    case Command::filter:
      start_filter_entry(state);
      break;
    case Command::palette:
      open_command_palette(state);
      break;
    case Command::help:
      state.help_open = true;
      state.help_scroll = 0;
      break;
    case Command::message_log:
      state.messages.open = true;
      state.messages.scroll = 0;
      break;
    case Command::assistant:
      open_assistant_panel(state);
      break;
    case Command::launch_log:
      open_retained_launch_log(state);
      break;
    case Command::switch_side:
      switch_side(state);
      break;
    case Command::export_entity:
      if (traits_of(state.view).exports) {
        send_request(state, RequestAction::export_entity);
      } else {
        state.status =
            "Export works from Graph, Topics, Nodes, TF or Changes; select an entity there first";
      }
      break;
    case Command::refresh:
      send_request(state, state.view == View::project ? RequestAction::refresh_project
                                                      : RequestAction::refresh);
      break;
    case Command::raw_view:
      state.raw_view = !state.raw_view;
      state.detail_scroll = 0;
      break;
    case Command::go_to_problem:
      go_to_selected_problem(state);
      break;
    case Command::copy_check:
      copy_check_command(state);
      break;
    case Command::copy_name:
      copy_selected_name(state);
      break;
    case Command::cycle_order:
      cycle_list_order(state);
      break;
    case Command::inspect:
      send_request(state, RequestAction::inspect);
      break;
    case Command::message_tf:
      send_request(state, RequestAction::message_tf);
      break;
    case Command::config_diff:
      send_request(state, RequestAction::config_diff);
      break;
    case Command::cycle_status:
      cycle_results_filter(state);
      break;
    case Command::attach:
      attach_result(state);
      break;
    case Command::run_check:
      send_request(state, RequestAction::run_check);
      break;
    case Command::cancel_check:
      send_request(state, RequestAction::cancel_check);
      break;
    case Command::pause_or_resume:
      pause_or_resume(state);
      break;
    case Command::play:
      send_request(state, RequestAction::play);
      break;
    case Command::stop:
      send_request(state, RequestAction::stop);
      break;
    case Command::seek:
      seek_playback(state, key.code == KeyCode::left ? SeekTarget::back : SeekTarget::forward);
      break;
    case Command::seek_start:
      seek_playback(state, SeekTarget::start);
      break;
    case Command::select_experiment:
      if (kind_of(state.selected_id) == RowKind::experiment) {
        select_experiment(state);
      } else {
        follow_connection(state);
      }
      break;
    case Command::plan_experiment:
      open_experiment_form(state, FormState::Kind::plan);
      break;
    case Command::conclude_experiment:
      open_experiment_form(state, FormState::Kind::conclude);
      break;
    case Command::experiment_results:
      open_experiment_results(state);
      break;
    case Command::recover_experiments:
      send_request(state, RequestAction::recover_experiments);
      break;
    case Command::refresh_task:
      send_request(state, RequestAction::refresh_task);
      break;
    case Command::rate_history:
      open_rate_history(state);
      break;
  }
  return true;
}

}  // namespace qm
