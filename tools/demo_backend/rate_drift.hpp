#pragma once

#include "demo_state.hpp"

namespace qm::demo {

// Takes a new rate sample of every drifting topic: rates wander around their nominal value and
// now and then past the declared bounds, and a topic occasionally drops out for a few samples.
void sample_rates(DemoState& state);

// Adds what the recorded topics carried over the last second to the recording's size.
void grow_recording(DemoState& state);

// Starts following a topic's rate (a topic the viewer selected while it was not sampled).
// False when the topic has no steady rate to sample.
bool follow_topic_rate(DemoState& state, const std::string& topic);

}  // namespace qm::demo
