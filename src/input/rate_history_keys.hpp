#pragma once

#include "model/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// Opens the rate history of the selected topic, its cursor on the newest sample; on a row that is
// not a topic it leaves the panel closed and says why.
void open_rate_history(AppState& state);

// A key of the open rate history: ←/→ move the cursor over the kept samples, Esc and `h` close
// it; other keys do nothing.
void rate_history_key(AppState& state, const tui::KeyEvent& key);

}  // namespace qm
