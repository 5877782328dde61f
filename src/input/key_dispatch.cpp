#include "input/key_dispatch.hpp"

#include <cstdint>
#include <string>
#include <utility>

#include "app/core/layout_numbers.hpp"
#include "app/core/mode.hpp"
#include "input/assistant_controls.hpp"
#include "input/command_palette.hpp"
#include "input/experiment_forms.hpp"
#include "input/filter_entry.hpp"
#include "input/log_viewer.hpp"
#include "input/navigation.hpp"
#include "input/playback_seek.hpp"
#include "input/request_channel.hpp"
#include "input/selection_movement.hpp"
#include "input/view_keys.hpp"
#include "tui/geometry.hpp"

namespace qm {

namespace {

using tui::KeyCode;
using tui::saturating_add;
using tui::saturating_sub;

constexpr uint16_t pan_step = 8;
constexpr uint16_t page_step = 12;

bool is_char(const tui::KeyEvent& key, char32_t c) {
  return key.code == KeyCode::character && key.character == c;
}

// Runs `handle` and saves the view state when the key changed it.
template <typename Handler>
void with_view_state_check(AppState& state, Handler&& handle) {
  const nlohmann::json before = view_state(state);
  handle();
  if (view_state(state) != before) {
    save_view_state(state);
  }
}

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

bool exports_from(View view) {
  return view == View::graph || view == View::topics || view == View::nodes || view == View::tf ||
         view == View::changes;
}

// Characters of the normal mode other than `q`.
void character_key(AppState& state, char32_t c) {
  if (c >= U'1' && c <= U'9') {
    reset_to_view(state, view_at(c - U'1'));
    return;
  }
  if (view_character_key(state, c)) {
    return;
  }
  switch (c) {
    case U'0':
      reset_to_view(state, View::project);
      break;
    case U'k':
      move_up(state);
      break;
    case U'j':
      move_down(state);
      break;
    case U'[':
      step_view(state, view_count - 1);
      break;
    case U']':
      step_view(state, 1);
      break;
    case U'/':
      start_filter_entry(state);
      break;
    case U':':
      open_command_palette(state);
      break;
    case U'?':
      state.help_open = true;
      break;
    case U'A':
      open_assistant_panel(state);
      break;
    case U'L':
      open_retained_launch_log(state);
      break;
    case U'b':
      switch_side(state);
      break;
    case U'e':
      if (exports_from(state.view)) {
        send_request(state, "export");
      } else {
        state.status =
            "Export works from Graph, Topics, Nodes, TF or Changes; select an entity there first";
      }
      break;
    case U'r':
      send_request(state, state.view == View::project ? "refresh_project" : "refresh");
      break;
    case U'v':
      state.raw_view = !state.raw_view;
      state.detail_scroll = 0;
      break;
    default:
      break;
  }
}

// Keys of the normal mode other than `q`.
void normal_key(AppState& state, const tui::KeyEvent& key) {
  switch (key.code) {
    case KeyCode::character:
      character_key(state, key.character);
      break;
    case KeyCode::backspace:
      go_back(state);
      break;
    case KeyCode::enter:
      view_enter_key(state);
      break;
    case KeyCode::left:
      if (state.view == View::playback) {
        seek_playback(state, SeekTarget::back);
      } else {
        state.pan = saturating_sub(state.pan, pan_step);
      }
      break;
    case KeyCode::right:
      if (state.view == View::playback) {
        seek_playback(state, SeekTarget::forward);
      } else {
        state.pan = saturating_add(state.pan, pan_step);
      }
      break;
    case KeyCode::up:
      move_up(state);
      break;
    case KeyCode::down:
      move_down(state);
      break;
    case KeyCode::home:
      if (state.view == View::playback) {
        seek_playback(state, SeekTarget::start);
      } else {
        state.selected = 0;
        state.detail_scroll = 0;
        sync_selection(state);
      }
      break;
    case KeyCode::end:
      state.selected = state.rows.empty() ? 0 : state.rows.size() - 1;
      state.detail_scroll = 0;
      sync_selection(state);
      break;
    case KeyCode::page_up:
      state.detail_scroll = saturating_sub(state.detail_scroll, page_step);
      break;
    case KeyCode::page_down:
      state.detail_scroll = saturating_add(state.detail_scroll, page_step);
      break;
    case KeyCode::tab:
      state.detail_focus = !state.detail_focus;
      state.detail_scroll = 0;
      break;
    case KeyCode::back_tab:
      step_view(state, view_count - 1);
      break;
    case KeyCode::escape:
      if (state.detail_focus && state.frame_width < wide_layout_width) {
        state.detail_focus = false;
      } else {
        state.filter.clear();
        rebuild_rows(state);
      }
      break;
    default:
      break;
  }
}

}  // namespace

bool handle_normal_key(AppState& state, const tui::KeyEvent& key) {
  if (is_char(key, U'q')) {
    save_view_state(state);
    return false;
  }
  with_view_state_check(state, [&] { normal_key(state, key); });
  return true;
}

bool handle_key(AppState& state, const tui::KeyEvent& key) {
  if (key.modifiers.control && is_char(key, U'c')) {
    save_view_state(state);
    return false;
  }
  const Mode mode = active_mode(state);
  // The text entries keep the status; every other mode clears it, unless a failed reload
  // asked to keep it.
  if ((mode == Mode::help || mode == Mode::log || mode == Mode::normal) && !state.keep_status) {
    state.status.clear();
  }
  switch (mode) {
    case Mode::palette: {
      bool go_on = true;
      with_view_state_check(state, [&] { go_on = palette_key(state, key); });
      return go_on;
    }
    case Mode::assistant:
      return assistant_key(state, key);
    case Mode::form:
      form_key(state, key);
      return true;
    case Mode::filter_entry:
      with_view_state_check(state, [&] { filter_key(state, key); });
      return true;
    case Mode::help:
      state.help_open = false;
      return true;
    case Mode::log:
      log_key(state, key);
      return true;
    case Mode::normal:
      return handle_normal_key(state, key);
  }
  return true;
}

}  // namespace qm
