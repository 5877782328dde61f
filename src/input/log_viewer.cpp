#include "input/log_viewer.hpp"

#include <string>

namespace qm {

void open_retained_launch_log(AppState& state) {
  const std::string* log = string_of(member_path(state.document(), {"runtime", "launch", "log"}));
  if (log != nullptr && !log->empty()) {
    open_log_viewer(state);
  } else {
    state.status = "No retained launch log is available for this session";
  }
}

void open_log_viewer(AppState& /*state*/) {}

void log_key(AppState& state, const tui::KeyEvent& key) {
  if (key.code == tui::KeyCode::escape ||
      (key.code == tui::KeyCode::character && key.character == U'L')) {
    state.log_open = false;
  }
}

}  // namespace qm
