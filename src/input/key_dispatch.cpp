#include "input/key_dispatch.hpp"

#include <cstdint>
#include <string>
#include <utility>

#include "app/core/mode.hpp"
#include "input/assistant_controls.hpp"
#include "input/command_palette.hpp"
#include "input/commands.hpp"
#include "input/experiment_forms.hpp"
#include "input/filter_entry.hpp"
#include "input/log_viewer.hpp"
#include "input/navigation.hpp"

namespace qm {

namespace {

using tui::KeyCode;

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

}  // namespace

bool handle_normal_key(AppState& state, const tui::KeyEvent& key) {
  const std::optional<KeyBinding> binding = binding_for(state.view, key);
  if (!binding) {
    return true;
  }
  bool go_on = true;
  with_view_state_check(state, [&] { go_on = run_command(state, binding->command, key); });
  return go_on;
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
