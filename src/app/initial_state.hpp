#pragma once

#include <optional>
#include <string>

#include "app/core/app_state.hpp"

namespace qm {

// The state the viewer starts in: the model of the current side, the rows of the first view, and
// the view, search and selection restored from the document's `result_selection`, `selection`
// and `view_state`. View saving is switched on last, so the start itself sends nothing.
AppState build_initial_state(DocumentPtr document, std::optional<std::string> request_channel_path,
                             bool truecolour);

}  // namespace qm
