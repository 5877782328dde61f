#pragma once

#include <nlohmann/json.hpp>

#include "demo_state.hpp"
#include "instant.hpp"

namespace qm::demo {

// Starts the configured check: a new run at the head of `runs` whose stages then pass one by
// one. False (and nothing changes) while a check is already running.
bool start_check(DemoState& state, const Instant& now);

// Ends the stage in progress once its time is up and starts the next. True when it changed
// the document.
bool advance_check(DemoState& state, const Instant& now);

// Stops the running check: the stage in progress is cancelled and the rest skipped. False
// when no check runs.
bool cancel_running_check(DemoState& state, const Instant& now);

}  // namespace qm::demo
