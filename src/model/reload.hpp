#pragma once

#include <expected>

#include "base/error.hpp"
#include "model/app_state.hpp"

namespace qm {

// Applies a freshly loaded session document, or the failure to load one, to the state. A failure
// keeps everything and says so; a new document replaces the model and the rows while the
// selection, a vanished entity (as an "[unavailable]" placeholder) and the selected connection are
// kept where they can be, and each topic's rate is recorded at the state's clock.
void apply_reload(AppState& state, std::expected<DocumentPtr, Error> loaded);

}  // namespace qm
