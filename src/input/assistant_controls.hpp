#pragma once

#include "app/core/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// `A` in the normal mode: opens the assistant panel. The panel is not offered yet, so this leaves
// the state as it is.
void open_assistant_panel(AppState& state);

// A key while the assistant panel is open; false when the key ends the program. Esc and `A` close.
bool assistant_key(AppState& state, const tui::KeyEvent& key);

}  // namespace qm
