#pragma once

#include "model/app_state.hpp"
#include "model/key_bindings.hpp"
#include "tui/events.hpp"

namespace qm {

// Does what `command` does in the normal mode, for the key that chose it (which tells a digit,
// and left from right). False only for `quit`, after the view state was saved.
bool run_command(AppState& state, Command command, const tui::KeyEvent& key);

}  // namespace qm
