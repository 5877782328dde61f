#include "launch_output.hpp"

#include <fmt/format.h>

#include <array>
#include <cmath>
#include <string_view>

namespace qm::demo {

namespace {

struct Template {
  std::string_view severity;
  std::string_view process;
  std::string_view level;
  std::string_view logger;
  std::string_view text;  // {0} is a small counter that varies from line to line
};

// Routine output of the stack while the robot shuttles between the staging pose and the dock.
constexpr std::array<Template, 16> routine = {{
    {"info", "component_container_isolated-1", "INFO", "bt_navigator",
     "Begin navigating from current location to the staging pose (attempt {0})"},
    {"info", "component_container_isolated-1", "INFO", "controller_server",
     "Received a goal, begin computing control effort."},
    {"info", "component_container_isolated-1", "INFO", "controller_server",
     "Passing new path to controller."},
    {"info", "component_container_isolated-1", "INFO", "planner_server",
     "Computed a path of {0} poses to the staging pose"},
    {"warning", "component_container_isolated-1", "WARN", "docking_server",
     "No detections of dock 'charging_dock' for 10.0 s"},
    {"info", "component_container_isolated-1", "INFO", "controller_server", "Reached the goal!"},
    {"info", "lidar_driver-7", "INFO", "lidar_driver",
     "current scan mode: Standard, sample rate: 10 Khz, max_distance: 16.0 m, scan frequency:10.0 "
     "Hz"},
    {"warning", "ekf_node-6", "WARN", "ekf_filter_node",
     "Failed to meet update rate! Took 0.0{0} seconds. Try decreasing the rate, limiting sensor "
     "output frequency, or limiting the number of sensors."},
    {"info", "component_container_isolated-1", "INFO", "local_costmap.local_costmap",
     "Received request to clear entirely the local_costmap"},
    {"warning", "aggregator_node-18", "WARN", "diagnostics_aggregator",
     "Power: battery_monitor stale (no update in 5.0 s)"},
    {"info", "foxglove_bridge-21", "INFO", "foxglove_bridge",
     "Client 127.0.0.1:5{0}12 subscribed to /scan"},
    {"info", "system_monitor-20", "INFO", "system_monitor", "CPU {0}% · memory 41% · disk 63%"},
    {"warning", "component_container_isolated-1", "WARN", "controller_server",
     "Control loop missed its desired rate of 20.0000Hz"},
    {"info", "twist_mux-17", "INFO", "twist_mux", "Topic navigation unlocked; e_stop released"},
    {"info", "component_container_isolated-1", "INFO", "docking_server",
     "Attempting to dock robot at charging_dock (attempt {0})"},
    {"info", "component_container_isolated-1", "INFO", "behavior_server",
     "Running backup to leave the staging pose"},
}};

constexpr Template rare_error = {
    "error", "component_container_isolated-1", "ERROR", "docking_server",
    "Failed to get dock pose: no detections within 10.0 s; docking aborted (attempt {0})"};

}  // namespace

LogLine launch_output_line(std::uint64_t index, double ros_time_s) {
  // A stride that is prime to the table's length visits every template in a shuffled order.
  const Template& chosen =
      index % 89 == 41 ? rare_error : routine[(index * 7 + index / 16) % routine.size()];
  const std::uint64_t counter = 10 + (index * 37) % 80;
  const double whole = std::floor(ros_time_s);
  const auto nanos = static_cast<std::uint64_t>((ros_time_s - whole) * 1e9);
  return {std::string(chosen.severity),
          fmt::format("[{}] [{}] [{:.0f}.{:09d}] [{}]: {}", chosen.process, chosen.level, whole,
                      nanos, chosen.logger, fmt::format(fmt::runtime(chosen.text), counter))};
}

}  // namespace qm::demo
