#pragma once

#include <string>

#include "model/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "ui/scroll_extent.hpp"

namespace qm {

// The assistant's formatted text: the project and task, the connection and usage, the selected
// evidence, whichever of setup, account, pending approval, error, worker, connections and models
// the document holds, the context, the conversation, the notice and the status message.
std::string assistant_text(const AppState& state);

// What the body shows: the formatted text, or the raw `assistant` object while the raw state is on.
std::string assistant_body_text(const AppState& state);

// How the body's text fills the body of the panel drawn in the terminal's `area`.
ScrollExtent assistant_extent(tui::Rect area, const AppState& state);

// Draws the assistant panel into `box`: the body (formatted, or the raw `assistant` object)
// scrolled by the panel's scroll (no further than its last row), its position on the body's
// bottom border, the prompt below it and the fixed key list at the bottom.
void draw_assistant(tui::Buffer& buffer, tui::Rect box, const AppState& state);

}  // namespace qm
