#include "input/command_palette.hpp"

namespace qm {

void open_command_palette(AppState& /*state*/) {}

bool palette_key(AppState& state, const tui::KeyEvent& key) {
  if (key.code == tui::KeyCode::escape) {
    state.palette.reset();
  }
  return true;
}

}  // namespace qm
