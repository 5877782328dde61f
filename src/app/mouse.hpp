#pragma once

#include <optional>

#include "model/app_state.hpp"
#include "tui/events.hpp"

namespace qm {

// Handles a mouse event on the frame, against the layout of the last frame size, while no
// overlay or text entry is open: a click switches to the view under it on the rail or the tab
// strip, or selects the list row under it; the wheel scrolls the detail pane under it, or else
// moves the selection. A click on the row already selected stands for Enter: that key is
// returned, for key dispatch to handle.
std::optional<tui::KeyEvent> handle_frame_mouse(AppState& state, const tui::MouseEvent& mouse);

// The rows a wheel event scrolls: down positive, up negative, other events none.
int wheel_rows(tui::MouseKind kind);

}  // namespace qm
