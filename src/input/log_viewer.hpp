#pragma once

#include "app/core/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// `L`, and Enter or `g` on a launch problem: opens the viewer when the document retains a launch
// log, else says that there is none.
void open_retained_launch_log(AppState& state);

// Opens the viewer of the retained launch log (the caller has checked that the document holds
// one). The viewer is not offered yet, so this leaves the state as it is.
void open_log_viewer(AppState& state);

// A key while the launch-log viewer is open. Esc and `L` close it.
void log_key(AppState& state, const tui::KeyEvent& key);

}  // namespace qm
