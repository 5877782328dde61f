#pragma once

#include <memory>

#include "app/core/app_state.hpp"

namespace qm {

// The state the viewer starts in: the model of the current side, the rows of the first view, and
// the view, search and selection restored from the document's `result_selection`, `selection`
// and `view_state`. Nothing is sent: restoring is not a change to report.
AppState build_initial_state(DocumentPtr document, std::shared_ptr<RequestWriter> requests,
                             bool truecolour);

}  // namespace qm
