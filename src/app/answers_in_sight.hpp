#pragma once

#include "json/json_access.hpp"
#include "model/app_state.hpp"

namespace qm {

// After a reload from the document `before`: when the new document brings a new answer to the
// user's last inspect, message-time TF or configuration diff request while its entity is
// selected, scrolls the detail pane so that the answer's heading is its first line; when it
// brings a new assistant message while the panel is open, scrolls the panel's body to its end.
// Measured at the size of the last frame.
void bring_answers_into_view(AppState& state, const Json& before);

}  // namespace qm
