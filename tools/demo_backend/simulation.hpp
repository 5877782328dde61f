#pragma once

#include "demo_state.hpp"
#include "instant.hpp"

namespace qm::demo {

// Advances the simulated robot to `now`: a rate sample every second and a growing launch log
// while the simulation is live; the player's clock, the stages of a running check and the
// assistant's pending answer always. True when the document changed.
bool simulation_step(DemoState& state, const Instant& now);

// Appends a line of launch output, keeping the log summary and the last answered page current.
void append_launch_output(DemoState& state, LogLine line);
// Brings the log summary and the last answered page in line with the retained log.
void publish_log_state(DemoState& state);

}  // namespace qm::demo
