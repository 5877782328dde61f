#pragma once

#include "model/app_state.hpp"

namespace qm {

// Health `y`: puts the selected problem's check command, made display-safe, up for the terminal's
// clipboard (the viewer sends it before the next frame) and shows it in the status row. A
// command of several lines is not copied.
void copy_check_command(AppState& state);

}  // namespace qm
