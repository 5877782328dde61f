#pragma once

#include "app/core/app_state.hpp"

namespace qm {

// Enter in the normal mode: goes to the selected problem in Health, selects the experiment under
// the selection in Project, does nothing in Changes, and elsewhere follows the connection under
// the cursor.
void view_enter_key(AppState& state);

// A character that has a meaning only in the current view; false when the view has no use for it.
bool view_character_key(AppState& state, char32_t c);

}  // namespace qm
