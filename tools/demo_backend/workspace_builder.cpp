#include "workspace_builder.hpp"

#include <fmt/format.h>

#include <string>
#include <string_view>

#include "robot_tables.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

struct MappingSpec {
  std::string_view id;
  std::string_view package;
  std::string_view file;
  int line;
  std::string_view declaration;
};

constexpr std::array<MappingSpec, 8> source_mappings = {{
    {"node:/amcl", "amr_bringup", "launch/localization.launch.py", 41,
     "LifecycleNode(package='nav2_amcl', executable='amcl', name='amcl')"},
    {"node:/map_server", "amr_bringup", "launch/localization.launch.py", 29,
     "LifecycleNode(package='nav2_map_server', executable='map_server')"},
    {"node:/docking_server", "amr_docking", "launch/docking.launch.py", 52,
     "ComposableNode(package='opennav_docking', plugin='opennav_docking::DockingServer')"},
    {"node:/static_tf_camera", "amr_bringup", "launch/sensors.launch.py", 118,
     "Node(package='tf2_ros', executable='static_transform_publisher', name='static_tf_camera')"},
    {"node:/lidar_driver", "amr_bringup", "launch/sensors.launch.py", 64,
     "Node(package='sllidar_ros2', executable='sllidar_node', name='lidar_driver', respawn=True)"},
    {"node:/camera/realsense", "amr_bringup", "launch/sensors.launch.py", 87,
     "Node(package='realsense2_camera', namespace='camera', name='realsense')"},
    {"topic:/cmd_vel", "amr_bringup", "config/twist_mux.yaml", 3,
     "topics: navigation, teleop; locks: e_stop -> publishes cmd_vel"},
    {"topic:/scan", "amr_bringup", "config/laser_filter.yaml", 1,
     "scan_to_scan_filter_chain remaps scan_raw -> scan"},
}};

struct EventSpec {
  std::string_view at;
  std::string_view kind;
  std::string_view text;
  std::string artifact;  // empty when the event has none
};

std::string session_file(std::string_view path) {
  return fmt::format("{}/{}", session_dir, path);
}

std::string workspace_file(std::string_view path) {
  return fmt::format("{}/{}", workspace_root, path);
}

std::string old_run_result(std::string_view session, std::string_view run) {
  return fmt::format("/home/robot/.quillmesh/sessions/{}/runs/{}/result.json", session, run);
}

}  // namespace

json build_project() {
  json mappings = json::object();
  for (const MappingSpec& spec : source_mappings) {
    mappings[std::string(spec.id)] = {
        {"confidence", "candidate"},
        {"declaration", spec.declaration},
        {"file", fmt::format("{}/src/{}/{}", workspace_root, spec.package, spec.file)},
        {"line", spec.line},
        {"package", spec.package}};
  }
  return {{"packages",
           json::array({{{"build_type", "ament_python"},
                         {"config_files",
                          {"config/ekf.yaml", "config/lidar.yaml", "config/nav2_params.yaml",
                           "config/power.yaml", "config/twist_mux.yaml"}},
                         {"launch_files",
                          {"launch/localization.launch.py", "launch/navigation.launch.py",
                           "launch/robot.launch.py", "launch/sensors.launch.py"}},
                         {"name", "amr_bringup"},
                         {"path", workspace_file("src/amr_bringup")}},
                        {{"build_type", "ament_cmake"},
                         {"config_files", {"config/docking.yaml"}},
                         {"launch_files", {"launch/docking.launch.py"}},
                         {"name", "amr_docking"},
                         {"path", workspace_file("src/amr_docking")}},
                        {{"build_type", "ament_cmake"},
                         {"config_files", json::array()},
                         {"launch_files", json::array()},
                         {"name", "amr_description"},
                         {"path", workspace_file("src/amr_description")}}})},
          {"root", workspace_root},
          {"scanned_at", "2026-12-09T13:41:03Z"},
          {"source_mappings", mappings},
          {"unresolved",
           {"/docking_tag_filter is declared in docking.launch.py but its plugin is not in the "
            "ament index"}}};
}

json build_profile() {
  return {{"check", {{"command", check_command}, {"timeout_s", 600}}},
          {"expected_rates", expected_rates()},
          {"launch",
           {{"arguments", {{"map", "/home/robot/maps/warehouse_b.yaml"}, {"use_sim", "false"}}},
            {"file", "robot.launch.py"},
            {"package", "amr_bringup"},
            {"readiness_topics", readiness_topics()}}},
          {"name", "amr-07-docking"},
          {"path", workspace_file(".quillmesh/profiles/amr-07-docking.json")},
          {"playback", {{"bag", bag_path}, {"domain_id", 43}}},
          {"ros", {{"distribution", "jazzy"}, {"domain_id", 42}, {"rmw", "rmw_fastrtps_cpp"}}},
          {"saved_at", "2026-12-04T10:15:09Z"}};
}

json build_task() {
  const std::vector<EventSpec> events = {
      {"2026-12-04T10:02:11Z", "created",
       "Task opened: docking fails after the camera driver update (AMR-412)", ""},
      {"2026-12-04T10:15:09Z", "profile",
       "Saved profile amr-07-docking with declared rates and readiness topics",
       workspace_file(".quillmesh/profiles/amr-07-docking.json")},
      {"2026-12-04T11:40:52Z", "experiment", "Planned exp-1: the dock is out of the camera's view",
       ""},
      {"2026-12-05T09:12:30Z", "evidence", "Camera image shows the dock tag at 1.4 m",
       session_file("../2026-12-05T09-05-18Z/exports/topic__camera_color_image_raw.json")},
      {"2026-12-05T09:20:02Z", "conclusion", "exp-1 refuted: the tag is visible in the image", ""},
      {"2026-12-05T14:31:45Z", "experiment", "Planned exp-2: the tag detector receives no images",
       ""},
      {"2026-12-08T09:31:20Z", "check", "Field replay blocked: bag lacks early /tf_static",
       old_run_result("2026-12-08T09-28-44Z", "run-2026-12-08-0930")},
      {"2026-12-08T17:19:41Z", "check", "Navigation smoke test passed (4 of 4 goals)",
       old_run_result("2026-12-08T17-02-50Z", "run-2026-12-08-1710")},
      {"2026-12-09T13:44:58Z", "check", "Docking bring-up check failed at launch readiness",
       session_file("runs/run-2026-12-09-1342/result.json")},
      {"2026-12-09T13:47:31Z", "conclusion",
       "exp-2 supported: QoS reliability mismatch on /camera/color/image_raw", ""},
      {"2026-12-09T13:52:10Z", "evidence", "Exported topic:/scan for the lidar restart report",
       session_file("exports/topic__scan.json")},
      {"2026-12-09T13:58:40Z", "experiment",
       "Planned exp-3: restoring the tag filter brings back /detected_dock_pose", ""},
  };
  json event_list = json::array();
  for (const EventSpec& event : events) {
    json entry = {{"at", event.at}, {"kind", event.kind}, {"text", event.text}};
    if (!event.artifact.empty()) {
      entry["artifact"] = {{"path", event.artifact}};
    }
    event_list.push_back(std::move(entry));
  }
  const json experiments = json::array({
      {{"created_at", "2026-12-04T11:40:52Z"},
       {"criteria_identity", "dock-visible-v1"},
       {"hypothesis", "The dock tag is outside the camera's field of view at the staging pose"},
       {"id", "exp-1"},
       {"linked_results", json::array()},
       {"prediction", "No tag pixels in /camera/color/image_raw at the staging pose"},
       {"result",
        {{"concluded_at", "2026-12-05T09:20:02Z"},
         {"conclusion", "The tag fills 60 px at the staging pose; visibility is not the cause."},
         {"evidence", "exports/topic__camera_color_image_raw.json"},
         {"outcome", "refuted"}}},
       {"test", "Drive to the staging pose and export one colour image"},
       {"variables", {{"staging_offset_m", 1.4}}}},
      {{"created_at", "2026-12-05T14:31:45Z"},
       {"criteria_identity", "tag-detector-input-v1"},
       {"hypothesis", "The tag detector receives no images since the camera driver update"},
       {"id", "exp-2"},
       {"linked_results", {"run-2026-12-09-1342"}},
       {"prediction",
        "A QoS mismatch between /camera/realsense and /apriltag_detector; /detections silent"},
       {"result",
        {{"concluded_at", "2026-12-09T13:47:31Z"},
         {"conclusion",
          "Reliability best_effort vs reliable on /camera/color/image_raw; matches the "
          "prediction."},
         {"evidence", "problem:qos:/camera/color/image_raw:/apriltag_detector"},
         {"outcome", "supported"}}},
       {"test",
        "Compare endpoint QoS of /camera/color/image_raw in the live and the baseline capture"},
       {"variables", {{"camera_driver", "4.55.1"}, {"color_qos", "SENSOR_DATA"}}}},
      {{"created_at", "2026-12-09T13:58:40Z"},
       {"criteria_identity", "dock-detection-v2"},
       {"hypothesis", "Restoring the docking tag filter brings back /detected_dock_pose"},
       {"id", "exp-3"},
       {"linked_results", json::array()},
       {"prediction",
        "/detected_dock_pose at about 15 Hz once the filter loads and the detector gets images"},
       {"result", nullptr},
       {"test", "Rebuild amr_docking, relaunch, run the docking bring-up check"},
       {"variables", {{"detector_qos", "sensor_data"}, {"seed", 1}}}},
  });
  return {{"artifact_checks",
           json::array({{{"path", session_file("runs/run-2026-12-09-1342/result.json")},
                         {"sha256_matches", true},
                         {"status", "fresh"}},
                        {{"path", session_file("exports/topic__scan.json")},
                         {"reason", "a newer capture exists"},
                         {"status", "stale"}},
                        {{"path", old_run_result("2026-12-08T09-28-44Z", "run-2026-12-08-0930")},
                         {"reason", "file moved or deleted"},
                         {"status", "missing"}}})},
          {"events", event_list},
          {"experiments", experiments},
          {"id", "AMR-412"},
          {"next_step", "Rebuild amr_docking with the tag filter registered, then run exp-3"},
          {"status", "investigating"},
          {"title", "Docking fails after the camera driver update"},
          {"updated_at", "2026-12-09T13:58:40Z"}};
}

json build_assistant() {
  return {
      {"account", nullptr},
      {"connection",
       {{"authentication", "not checked"},
        {"id", "personal-chatgpt"},
        {"model", "unknown until model discovery"},
        {"provider", "ChatGPT"}}},
      {"connections",
       json::array(
           {{{"id", "personal-chatgpt"},
             {"label", "Personal ChatGPT subscription"},
             {"provider", "ChatGPT"}},
            {{"id", "team-review"}, {"label", "Team review workspace"}, {"provider", "ChatGPT"}}})},
      {"context",
       {{"evidence", json::array({{{"id", "problem:qos:/camera/color/image_raw:/apriltag_detector"},
                                   {"kind", "finding"}},
                                  {{"id", "run-2026-12-09-1342"}, {"kind", "result"}}})},
        {"selection_id", "topic:/camera/color/image_raw"},
        {"side", "current"}}},
      {"error", nullptr},
      {"messages",
       json::array({{{"role", "user"}, {"text", "Why does the docking server never see the dock?"}},
                    {{"role", "assistant"},
                     {"text",
                      "From the reviewed evidence: /detected_dock_pose has no publisher since "
                      "/docking_tag_filter failed to load, and /apriltag_detector cannot match the "
                      "best-effort colour stream. Both are likely causes, not proof; exp-3 tests "
                      "the first."}}})},
      {"models", nullptr},
      {"notice", "Assistant claims explain reviewed text; they are never a verdict."},
      {"pending_approval",
       {{"action", "send disclosure"},
        {"data", {"finding problem:unconnected:/detected_dock_pose", "launch log lines 10–25"}},
        {"destination", "ChatGPT via personal-chatgpt"},
        {"id", "approval-7"},
        {"prepared_at", "2026-12-09T14:01:12Z"}}},
      {"permissions", "review only"},
      {"state", "awaiting approval"},
      {"usage", {{"requests", 3}, {"tokens", "unknown"}}},
      {"worker", nullptr}};
}

}  // namespace qm::demo
