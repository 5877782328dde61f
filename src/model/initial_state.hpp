#pragma once

#include "model/app_state.hpp"

namespace qm {

// The state the viewer starts in: the model of the current side, the rows of the first view, and
// the view, search and selection restored from the document's `result_selection`, `selection`
// and `view_state`. Nothing is sent: restoring is not a change to report.
AppState build_initial_state(DocumentPtr document, bool request_channel, bool truecolour);

}  // namespace qm
