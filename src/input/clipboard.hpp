#pragma once

#include <string>
#include <string_view>

#include "model/app_state.hpp"

namespace qm {

// Puts `text`, display-safe already, up for the terminal's clipboard (the viewer sends it before
// the next frame) and shows it in the status row with `fallback`, the place to copy it from when
// the terminal blocks the clipboard. A text of several lines is refused, naming it as `what`.
void offer_to_clipboard(AppState& state, std::string text, std::string_view what,
                        std::string_view fallback);

// Health `y`: offers the selected problem's check command, made display-safe.
void copy_check_command(AppState& state);

}  // namespace qm
