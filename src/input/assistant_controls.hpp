#pragma once

#include "model/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// `A` in the normal mode: opens the assistant panel at the top, with the connection in use chosen.
void open_assistant_panel(AppState& state);

// A key while the assistant panel is open: scrolling, the prompt, approvals and the other
// assistant requests. False for `C`, which ends the program so that its caller can connect the
// assistant.
bool assistant_key(AppState& state, const tui::KeyEvent& key);

}  // namespace qm
