#pragma once

#include "model/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// Handles one key press in whichever mode has it (palette, assistant panel, experiment form,
// filter entry, help, launch-log viewer, normal); false when the program is to stop.
bool handle_key(AppState& state, const tui::KeyEvent& key);

// One key of the normal mode, as its binding in the current view says; false for `q`. The
// command palette runs its key commands through it (handle_key saves the view state after).
bool handle_normal_key(AppState& state, const tui::KeyEvent& key);

}  // namespace qm
