#pragma once

#include "model/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// `:` in the normal mode: opens the command palette with an empty query.
void open_command_palette(AppState& state);

// A key while the palette is open; false when the chosen command stops the program.
bool palette_key(AppState& state, const tui::KeyEvent& key);

}  // namespace qm
