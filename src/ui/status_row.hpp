#pragma once

#include <string_view>

#include "model/app_state.hpp"
#include "tui/line.hpp"
#include "tui/style.hpp"

namespace qm {

// The colour of a message by its words: exports ok, failures bad, missing things warn, requests
// info, anything else muted. `backend_error` is set for the backend's own error text.
tui::Color message_colour(std::string_view message, bool backend_error);

// The status row: the search being typed, else the status message, else the applied filter, else
// what the document last reported (an export's outcome, the backend's error or its notice).
tui::Line status_line(const AppState& state);

}  // namespace qm
