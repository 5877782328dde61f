#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace qm::demo {

struct LogLine {
  std::string severity;  // "info", "warning" or "error"
  std::string text;
};

// The first lines the launch wrote: the lidar driver respawning, a composable node that failed
// to load, the docking server waiting for detections.
std::vector<LogLine> first_launch_lines();

// runtime.launch: the launch owned by the session, its processes, log summary and checks.
nlohmann::json build_launch();

// The first page of the retained log as the example document shows it.
nlohmann::json build_example_log_page(const nlohmann::json& launch);

}  // namespace qm::demo
