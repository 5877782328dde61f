#pragma once

#include "model/app_state.hpp"

namespace qm {

// Every key and wheel that scrolls a pane comes through these, so that an offset stops where the
// pane's last row reaches its bottom, measured as the pane draws its text at the size of the last
// frame. A stored offset beyond that (after a reload or a resize) is brought back first, so the
// first step up moves at once. `delta` counts rows; negative scrolls up.
void scroll_detail(AppState& state, int delta);
void scroll_help(AppState& state, int delta);
void scroll_assistant(AppState& state, int delta);
void scroll_messages(AppState& state, int delta);

}  // namespace qm
