#pragma once

#include <string_view>

#include "app/core/app_state.hpp"

namespace qm {

// Appends one request line for `action` to the request channel, after the backend's capability
// for it and the action's preconditions are checked. Members of `payload` (when it is an object)
// are added last and replace automatic ones. Leaves the outcome in the status message; true
// exactly when the line was written.
bool send_request(AppState& state, std::string_view action,
                  const nlohmann::json& payload = nlohmann::json::object());

}  // namespace qm
