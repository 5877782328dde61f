#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "model/app_state.hpp"
#include "tui/line.hpp"
#include "tui/style.hpp"

namespace qm {

// The colour of a message by its words: exports ok, failures bad, missing things warn, requests
// info, anything else muted. `backend_error` is set for the backend's own error text.
tui::Color message_colour(std::string_view message, bool backend_error);

// The status row `width` columns wide: the search being typed, else the status message, else the
// applied filter, else what the document last reported (an export's outcome, the backend's error
// or its notice). A message that does not fit ends in "…".
tui::Line status_line(const AppState& state,
                      std::size_t width = std::numeric_limits<std::size_t>::max());

// What the document reports on the status row when the viewer has nothing of its own to say.
std::string document_status_message(const AppState& state);

}  // namespace qm
