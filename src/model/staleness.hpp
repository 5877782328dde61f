#pragma once

#include <optional>
#include <string>

#include "model/app_state.hpp"

namespace qm {

// How long ago a live document was last loaded, as the header shows it ("35 s ago", "4 min
// ago", "2 h ago"), once that is at least limits::stale_after; none while it is fresh or when
// the document is not live.
std::optional<std::string> stale_age_text(const AppState& state);

}  // namespace qm
