#include "input/assistant_controls.hpp"

namespace qm {

void open_assistant_panel(AppState& /*state*/) {}

bool assistant_key(AppState& state, const tui::KeyEvent& key) {
  if (key.code == tui::KeyCode::escape ||
      (key.code == tui::KeyCode::character && key.character == U'A')) {
    state.assistant.open = false;
  }
  return true;
}

}  // namespace qm
