#pragma once

#include "app/core/app_state.hpp"

namespace qm {

// Health `y`: copies the selected problem's check command to the terminal's clipboard. Copying is
// not offered yet, so this leaves the state as it is.
void copy_check_command(AppState& state);

}  // namespace qm
