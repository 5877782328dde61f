#pragma once

#include "model/app_state.hpp"

namespace qm {

// `y` outside Health: offers the name or id of what the view has selected (a topic, node or frame
// name, a change's entity name, a run or experiment id, the project's root or the task file; in
// Playback the recording and in Capture the last export's path), or says there is none.
void copy_selected_name(AppState& state);

// `y` in the launch-log viewer: offers the retained line at the top of the pane, or the page's
// first line while the pane shows what comes before the page.
void copy_top_log_line(AppState& state);

}  // namespace qm
