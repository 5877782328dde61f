#pragma once

#include "request.hpp"

namespace qm::demo {

// run_check: starts the configured check as a new run whose stages pass one by one.
void handle_run_check(DemoState& state, const Request& request, const Instant& now);
// cancel_check: stops the running check.
void handle_cancel_check(DemoState& state, const Request& request, const Instant& now);

}  // namespace qm::demo
