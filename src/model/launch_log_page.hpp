#pragma once

#include "model/app_state.hpp"

namespace qm {

// The page of the retained launch log on hand (`runtime.launch_log_page`), null when there is none.
const Json& launch_log_page(const Json& document);

// True when the page of the launch log on hand was written for the current path, search,
// severity and context.
bool page_matches(const AppState& state);

}  // namespace qm
