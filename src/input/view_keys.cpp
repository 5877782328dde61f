#include "input/view_keys.hpp"

#include <string>

#include "input/clipboard.hpp"
#include "input/experiment_forms.hpp"
#include "input/log_viewer.hpp"
#include "input/navigation.hpp"
#include "input/request_channel.hpp"
#include "input/selection_movement.hpp"

namespace qm {

namespace {

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

}  // namespace

void view_enter_key(AppState& state) {
  switch (state.view) {
    case View::health:
      go_to_selected_problem(state);
      return;
    case View::changes:
      return;
    case View::project:
      if (state.selected_id.starts_with("experiment:")) {
        select_experiment(state);
        return;
      }
      follow_connection(state);
      return;
    default:
      follow_connection(state);
      return;
  }
}

bool view_character_key(AppState& state, char32_t c) {
  switch (state.view) {
    case View::health:
      if (c == U'g') {
        go_to_selected_problem(state);
      } else if (c == U'y') {
        copy_check_command(state);
      } else {
        return false;
      }
      return true;
    case View::topics:
      if (c == U'i') {
        send_request(state, "inspect");
      } else if (c == U't') {
        send_request(state, "message_tf");
      } else {
        return false;
      }
      return true;
    case View::nodes:
      if (c != U'd') {
        return false;
      }
      send_request(state, "config_diff");
      return true;
    case View::results:
      if (c == U's') {
        state.results_status_filter = static_cast<ResultsFilter>(
            (static_cast<std::size_t>(state.results_status_filter) + 1) % results_filter_count);
        rebuild_rows(state);
      } else if (c == U'a') {
        if (const auto index = result_index_of_selection(state)) {
          send_request(state, "attach_experiment", nlohmann::json{{"result_index", *index}});
        }
      } else if (c == U'g') {
        send_request(state, "run_check");
      } else if (c == U'c') {
        send_request(state, "cancel_check");
      } else {
        return false;
      }
      return true;
    case View::playback:
      if (c == U' ') {
        const bool paused = is_string_equal(
            member_path(state.document(), {"runtime", "playback", "state"}), "paused");
        send_request(state, paused ? "resume" : "pause");
      } else if (c == U'p') {
        send_request(state, "play");
      } else if (c == U'x') {
        send_request(state, "stop");
      } else {
        return false;
      }
      return true;
    case View::project:
      switch (c) {
        case U'g':
          send_request(state, "run_check");
          return true;
        case U'c':
          send_request(state, "cancel_check");
          return true;
        case U'n':
          open_experiment_form(state, FormState::Kind::plan);
          return true;
        case U'f':
          open_experiment_form(state, FormState::Kind::conclude);
          return true;
        case U'o':
          open_experiment_results(state);
          return true;
        case U'R':
          send_request(state, "recover_experiments");
          return true;
        case U'u':
          send_request(state, "refresh_task");
          return true;
        default:
          return false;
      }
    default:
      return false;
  }
}

}  // namespace qm
