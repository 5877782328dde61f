#pragma once

#include "request.hpp"

namespace qm::demo {

// Answers the ai_* requests: every provider action waits for the user's approval, and the
// assistant only explains reviewed text.
void handle_assistant(DemoState& state, const Request& request, const Instant& now);

}  // namespace qm::demo
