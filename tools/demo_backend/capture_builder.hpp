#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace qm::demo {

// One capture of the robot's graph and the entity catalogue derived from it.
struct Capture {
  nlohmann::json capture;   // label, graph, rates, sources, tf, warnings
  nlohmann::json entities;  // nodes, then topics, each sorted by name
};

// The live capture at the time of the demo.
Capture current_capture();
// The capture of a week earlier: before the camera driver update and the static camera transform.
Capture baseline_capture();

// The rate measurement of a topic that arrived at `mean_hz` over the sample window.
nlohmann::json measured_rate(std::string_view topic, double mean_hz);
// The mean rate the example measured for a topic of that nominal rate.
double example_mean_rate(std::string_view topic, double nominal_hz);
// The measurement of a topic that sent nothing in the window.
nlohmann::json silent_rate(std::string_view topic);

}  // namespace qm::demo
