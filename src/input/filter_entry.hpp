#pragma once

#include <cstddef>

#include "model/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// `/` in the normal mode: starts typing a new filter for the current view.
void start_filter_entry(AppState& state);

// A key while the filter is typed: characters and Backspace narrow the rows at once, Enter keeps
// the filter, Esc drops it.
void filter_key(AppState& state, const tui::KeyEvent& key);

}  // namespace qm
