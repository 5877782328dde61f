#include "launch_builder.hpp"

#include <fmt/format.h>

#include <string_view>

#include "robot_tables.hpp"
#include "sha256.hpp"
#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

struct ProcessSpec {
  std::string_view name;
  std::string_view state;
  int attempt;
  std::optional<int> exit_code;
  int pid;
};

struct Failure {
  int attempt;
  std::string_view at;
  int exit_code;
  int pid;
};

constexpr std::array<ProcessSpec, 22> launch_processes = {{
    {"component_container_isolated-1", "running", 1, std::nullopt, 41203},
    {"robot_state_publisher-2", "running", 1, std::nullopt, 41205},
    {"ros2_control_node-3", "running", 1, std::nullopt, 41207},
    {"spawner-4", "finished", 1, 0, 41209},
    {"spawner-5", "finished", 1, 0, 41211},
    {"ekf_node-6", "running", 1, std::nullopt, 41213},
    {"lidar_driver-7", "running", 3, std::nullopt, 41452},
    {"scan_to_scan_filter_chain-8", "running", 1, std::nullopt, 41217},
    {"realsense2_camera_node-9", "running", 1, std::nullopt, 41219},
    {"pointcloud_to_laserscan_node-10", "running", 1, std::nullopt, 41221},
    {"apriltag_node-11", "running", 1, std::nullopt, 41223},
    {"imu_driver_node-12", "running", 1, std::nullopt, 41225},
    {"imu_filter_madgwick_node-13", "running", 1, std::nullopt, 41227},
    {"static_transform_publisher-14", "running", 1, std::nullopt, 41229},
    {"joy_node-15", "running", 1, std::nullopt, 41231},
    {"teleop_node-16", "running", 1, std::nullopt, 41233},
    {"twist_mux-17", "running", 1, std::nullopt, 41235},
    {"aggregator_node-18", "running", 1, std::nullopt, 41237},
    {"battery_monitor-19", "running", 1, std::nullopt, 41239},
    {"system_monitor-20", "running", 1, std::nullopt, 41241},
    {"foxglove_bridge-21", "running", 1, std::nullopt, 41243},
    {"safety_plc_bridge-22", "running", 1, std::nullopt, 41245},
}};

constexpr std::array<Failure, 2> lidar_failures = {{
    {1, "2026-12-09T13:41:06Z", 1, 41215},
    {2, "2026-12-09T13:41:09Z", 1, 41388},
}};

constexpr std::string_view first_error =
    "[lidar_driver-7] [ERROR] [1796823666.402117735] [lidar_driver]: "
    "Failed to open serial port /dev/ttyUSB0: Device or resource busy";

constexpr std::string_view composable_failure =
    "[ERROR] [launch_ros.actions.load_composable_nodes]: Failed to load node "
    "'docking_tag_filter' of type 'amr_docking::TagFilter' in container '/nav2_container': Could "
    "not find requested resource in ament index";

std::string lidar_command() {
  return fmt::format(
      "/opt/ros/jazzy/lib/sllidar_ros2/sllidar_node --ros-args -r __node:=lidar_driver "
      "--params-file {}/install/amr_bringup/share/amr_bringup/config/lidar.yaml -r scan:=scan_raw",
      workspace_root);
}

std::string died_line(const Failure& failure) {
  return fmt::format("[ERROR] [lidar_driver-7]: process has died [pid {}, exit code {}, cmd '{}'].",
                     failure.pid, failure.exit_code, lidar_command());
}

std::string log_path() {
  return fmt::format("{}/launch.log", session_dir);
}

}  // namespace

std::vector<LogLine> first_launch_lines() {
  std::vector<LogLine> lines = {
      {"info",
       "[INFO] [launch]: All log files can be found below "
       "/home/robot/.ros/log/2026-12-09-13-41-02-118230-amr-07-41190"},
      {"info", "[INFO] [launch]: Default logging verbosity is set to INFO"},
  };
  for (std::size_t i = 0; i < 7; ++i) {
    const ProcessSpec& process = launch_processes[i];
    const int pid = process.name == "lidar_driver-7" ? lidar_failures[0].pid : process.pid;
    lines.push_back(
        {"info", fmt::format("[INFO] [{}]: process started with pid [{}]", process.name, pid)});
  }
  const std::vector<LogLine> rest = {
      {"info",
       "[robot_state_publisher-2] [INFO] [1796823665.912004113] [robot_state_publisher]: got "
       "segment base_link"},
      {"error", std::string(first_error)},
      {"error", died_line(lidar_failures[0])},
      {"info", fmt::format("[INFO] [lidar_driver-7]: process started with pid [{}]",
                           lidar_failures[1].pid)},
      {"info",
       "[spawner-4] [INFO] [1796823667.220931454] [spawner_joint_state_broadcaster]: Configured "
       "and activated joint_state_broadcaster"},
      {"info", "[INFO] [spawner-4]: process has finished cleanly [pid 41209]"},
      {"warning",
       "[realsense2_camera_node-9] [WARN] [1796823668.004511870] [camera.realsense]: color_qos "
       "set to SENSOR_DATA"},
      {"error", std::string(composable_failure)},
      {"error", died_line(lidar_failures[1])},
      {"info", "[INFO] [lidar_driver-7]: process started with pid [41452]"},
      {"info",
       "[lidar_driver-7] [INFO] [1796823673.118220431] [lidar_driver]: SLLidar health status : "
       "OK."},
      {"info",
       "[component_container_isolated-1] [INFO] [1796823679.501842290] "
       "[lifecycle_manager_navigation]: Managed nodes are active"},
      {"warning",
       "[component_container_isolated-1] [WARN] [1796823702.711034829] [docking_server]: No "
       "detections of dock 'charging_dock' for 10.0 s"},
  };
  lines.insert(lines.end(), rest.begin(), rest.end());
  return lines;
}

json build_launch() {
  const std::vector<LogLine> lines = first_launch_lines();
  std::size_t first_error_line = 0;
  std::size_t errors = 0;
  std::size_t warnings = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (first_error_line == 0 && lines[i].text == first_error) {
      first_error_line = i + 1;
    }
    errors += lines[i].severity == "error" ? 1 : 0;
    warnings += lines[i].severity == "warning" ? 1 : 0;
  }
  json failures = json::array();
  json child_failures = json::array();
  for (const Failure& failure : lidar_failures) {
    failures.push_back({{"attempt", failure.attempt},
                        {"at", failure.at},
                        {"exit_code", failure.exit_code},
                        {"pid", failure.pid}});
    child_failures.push_back({{"text", died_line(failure)}});
  }
  child_failures.push_back({{"text", composable_failure}});
  json processes = json::array();
  for (const ProcessSpec& spec : launch_processes) {
    json process = {{"attempt", spec.attempt},
                    {"failure_count", 0},
                    {"name", spec.name},
                    {"pid", spec.pid},
                    {"state", spec.state}};
    if (spec.exit_code) {
      process["exit_code"] = *spec.exit_code;
    }
    if (spec.name == "lidar_driver-7") {
      process["failure_count"] = lidar_failures.size();
      process["failures"] = failures;
      process["respawn"] = true;
    }
    processes.push_back(std::move(process));
  }
  const json observations = json::array({
      {{"attempts", 1},
       {"last_error", nullptr},
       {"status", "passed"},
       {"topic", "/scan"},
       {"waited_s", 3.4}},
      {{"attempts", 1},
       {"last_error", nullptr},
       {"status", "passed"},
       {"topic", "/odom"},
       {"waited_s", 0.2}},
      {{"attempts", 1},
       {"last_error", nullptr},
       {"node", "/bt_navigator"},
       {"status", "passed"},
       {"waited_s", 11.8}},
      {{"attempts", 5},
       {"last_error", "no message within 10.0 s"},
       {"status", "timed_out"},
       {"topic", "/detected_dock_pose"},
       {"waited_s", 50.0}},
  });
  return {{"command",
           "ros2 launch amr_bringup robot.launch.py map:=/home/robot/maps/warehouse_b.yaml "
           "use_sim:=false"},
          {"log", log_path()},
          {"log_summary",
           {{"child_failures", child_failures},
            {"error_lines", errors},
            {"first_error", {{"line", first_error_line}, {"text", first_error}}},
            {"warning_lines", warnings}}},
          {"pid", launch_pid},
          {"processes",
           {{"dropped_lines", 0},
            {"observed", "launch process events"},
            {"processes", processes},
            {"retained", false}}},
          {"readiness", "unknown"},
          {"readiness_checks",
           {{"observations", observations}, {"status", "failed"}, {"timeout_s", 60.0}}},
          {"returncode", nullptr},
          {"started_at", iso_utc(session_start_s)},
          {"state", "running"}};
}

json build_example_log_page(const json& launch) {
  const std::vector<LogLine> lines = first_launch_lines();
  json page_lines = json::array();
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    page_lines.push_back({{"match", false},
                          {"number", i + 1},
                          {"severity", lines[i].severity},
                          {"text", lines[i].text}});
    joined += (i == 0 ? "" : "\n") + lines[i].text;
  }
  return {{"at_end", false},
          {"bytes", 214337},
          {"context", 0},
          {"coverage", fmt::format("lines 1–{} of 1842 retained; nothing dropped", lines.size())},
          {"lines", page_lines},
          {"matches", 0},
          {"next_start", lines.size()},
          {"path", launch["log"]},
          {"previous_start", nullptr},
          {"query", ""},
          {"retained_lines", 1842},
          {"severity", "all"},
          {"sha256", sha256_hex(joined)},
          {"shown_lines", 1842},
          {"start", 0},
          {"status", "ok"}};
}

}  // namespace qm::demo
