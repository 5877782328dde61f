#include "input/key_dispatch.hpp"

#include <cstdint>
#include <string>
#include <utility>

#include "input/assistant_controls.hpp"
#include "input/command_palette.hpp"
#include "input/commands.hpp"
#include "input/experiment_forms.hpp"
#include "input/filter_entry.hpp"
#include "input/log_viewer.hpp"
#include "input/navigation.hpp"
#include "input/rate_history_keys.hpp"
#include "input/reader.hpp"
#include "input/scrolling.hpp"
#include "model/mode.hpp"
#include "model/mode_keys.hpp"

namespace qm {

namespace {

using tui::KeyCode;

bool is_char(const tui::KeyEvent& key, char32_t c) {
  return key.code == KeyCode::character && key.character == c;
}

// The modes whose keys may change the view state, which is saved after each of them.
bool checks_view_state(Mode mode) {
  return mode == Mode::palette || mode == Mode::filter_entry || mode == Mode::normal;
}

bool mode_key(AppState& state, Mode mode, const tui::KeyEvent& key) {
  switch (mode) {
    case Mode::palette:
      return palette_key(state, key);
    case Mode::assistant:
      return assistant_key(state, key);
    case Mode::form:
      form_key(state, key);
      return true;
    case Mode::filter_entry:
      filter_key(state, key);
      return true;
    case Mode::help:
      if (const std::optional<int> rows = reader_rows(key)) {
        scroll_help(state, *rows);
      } else {
        state.help_open = false;
      }
      return true;
    case Mode::log:
      log_key(state, key);
      return true;
    case Mode::messages:
      if (const std::optional<int> rows = reader_rows(key)) {
        scroll_messages(state, *rows);
      } else {
        state.messages.open = false;
      }
      return true;
    case Mode::rate_history:
      rate_history_key(state, key);
      return true;
    case Mode::normal:
      return handle_normal_key(state, key);
  }
  return true;
}

}  // namespace

bool handle_normal_key(AppState& state, const tui::KeyEvent& key) {
  const std::optional<KeyBinding> binding = binding_for(state.view, key);
  return !binding || run_command(state, binding->command, key);
}

bool handle_key(AppState& state, const tui::KeyEvent& key) {
  if (key.modifiers.control && is_char(key, U'c')) {
    save_view_state(state);
    return false;
  }
  const Mode mode = active_mode(state);
  // The text entries keep the status; every other mode clears it, unless a failed reload
  // asked to keep it.
  const bool clears_status = mode == Mode::help || mode == Mode::log || mode == Mode::messages ||
                             mode == Mode::rate_history || mode == Mode::normal;
  if (clears_status && !state.keep_status) {
    state.status.clear();
  }
  const std::optional<std::string> result_before = state.selected_result_id;
  const ViewState view_before = view_state(state);
  const bool go_on = mode_key(state, mode, key);
  report_selected_result(state, result_before);
  if (checks_view_state(mode) && view_state(state) != view_before) {
    save_view_state(state);
  }
  return go_on;
}

}  // namespace qm
