#include "findings_builder.hpp"

#include <fmt/format.h>

#include <string>
#include <string_view>

#include "entity_lookup.hpp"
#include "robot_tables.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

json change(const json& current_entities, const json& baseline_entities, std::string_view id,
            std::string_view status, std::string_view summary) {
  const std::size_t colon = id.find(':');
  return {{"after", find_entity(current_entities, id)},
          {"before", find_entity(baseline_entities, id)},
          {"id", id},
          {"kind", id.substr(0, colon)},
          {"name", id.substr(colon + 1)},
          {"status", status},
          {"summary", summary}};
}

json edges_into(const json& tf, std::string_view frame) {
  json edges = json::array();
  for (const json& edge : tf["edges"]) {
    if (edge["child"] == frame) {
      edges.push_back(edge);
    }
  }
  return edges;
}

json qos_profile_of_finding(const char* reliability, int depth) {
  return {{"deadline", "infinite"},    {"depth", depth},
          {"durability", "volatile"},  {"history", "keep_last"},
          {"liveliness", "automatic"}, {"reliability", reliability}};
}

json build_findings(const json& node_parameters) {
  json sim_time = json::array();
  for (const auto& [name, values] : node_parameters.items()) {
    if (values["use_sim_time"] == true) {
      sim_time.push_back(name);
    }
  }
  const std::size_t wall_time = node_parameters.size() - sim_time.size();
  return json::array({
      {{"detail",
        {{"policies", {"reliability"}},
         {"publisher", "/camera/realsense"},
         {"publisher_profile", qos_profile_of_finding("best_effort", 5)},
         {"subscriber", "/apriltag_detector"},
         {"subscriber_profile", qos_profile_of_finding("reliable", 10)},
         {"unresolved_policies", json::array()}}},
       {"detector", "qos_compatibility"},
       {"doc_url",
        "https://docs.ros.org/en/jazzy/Concepts/Intermediate/"
        "About-Quality-of-Service-Settings.html"},
       {"explanation",
        "A reliable subscription never matches a best-effort publisher, so /apriltag_detector "
        "receives no images and publishes no /detections. The camera driver switched the colour "
        "stream to best effort after its update."},
       {"finding", "reliability: publisher best_effort, subscriber reliable (incompatible)"},
       {"fix",
        "Subscribe with the sensor-data profile in the tag detector (qos_overrides./camera/color/"
        "image_raw.subscription.reliability: best_effort), or set the camera's color_qos back to "
        "SYSTEM_DEFAULT."},
       {"id", "problem:qos:/camera/color/image_raw:/apriltag_detector"},
       {"severity", "error"},
       {"target", "topic:/camera/color/image_raw"},
       {"title",
        "QoS incompatible on /camera/color/image_raw: /camera/realsense → /apriltag_detector"},
       {"verify", "ros2 topic info /camera/color/image_raw --verbose"}},
      {{"detail", {{"subscriber", "/docking_server"}, {"topic", "/detected_dock_pose"}}},
       {"detector", "unconnected_endpoints"},
       {"explanation",
        "/docking_server waits for dock detections that nobody publishes; docking will time out "
        "at the staging pose. The baseline capture had /docking_tag_filter as publisher."},
       {"finding",
        "subscription without publisher: /detected_dock_pose (geometry_msgs/msg/PoseStamped)"},
       {"fix",
        "Start the tag filter again (it failed to load into /nav2_container, see the launch "
        "log)."},
       {"id", "problem:unconnected:/detected_dock_pose"},
       {"severity", "warning"},
       {"target", "topic:/detected_dock_pose"},
       {"title", "Subscriber without publisher: /docking_server waits on /detected_dock_pose"},
       {"verify", "ros2 topic info /detected_dock_pose"}},
      {{"detail", {{"sim_time_nodes", sim_time}, {"wall_time_nodes", wall_time}}},
       {"detector", "clock_consistency"},
       {"explanation",
        "With use_sim_time true and no /clock publisher the node's clock stays at zero, so its "
        "timers never fire; /battery_state is silent."},
       {"finding",
        fmt::format("use_sim_time: {} node true, {} nodes false, {} nodes did not answer",
                    sim_time.size(), wall_time, unanswered_parameter_nodes().size())},
       {"fix", "Set use_sim_time: false for /battery_monitor (amr_bringup/config/power.yaml)."},
       {"id", "problem:clock:/battery_monitor"},
       {"severity", "warning"},
       {"target", "node:/battery_monitor"},
       {"title",
        "Mixed clocks: /battery_monitor uses simulation time; the other answering nodes use wall "
        "time"},
       {"verify", "ros2 param get /battery_monitor use_sim_time"}},
      {{"detail", {{"frame", "camera_link"}, {"parents", {"base_link", "camera_mount"}}}},
       {"detector", "tf_parents"},
       {"explanation",
        "Two publishers claim the parent of camera_link. Lookups through camera_link flip between "
        "the two transforms."},
       {"finding",
        "camera_link: parents base_link (/static_tf_camera) and camera_mount "
        "(/robot_state_publisher)"},
       {"fix",
        "Remove the static_tf_camera node from sensors.launch.py; the URDF already places the "
        "camera."},
       {"id", "problem:tf:camera_link"},
       {"severity", "warning"},
       {"target", "frame:camera_link"},
       {"title", "Frame camera_link has two parents: base_link and camera_mount"},
       {"verify", "ros2 run tf2_ros tf2_echo camera_mount camera_link"}},
      {{"detail",
        {{"topic", "/camera/extrinsics/depth_to_color"},
         {"type", "realsense2_camera_msgs/msg/Extrinsics"}}},
       {"detector", "message_types"},
       {"explanation",
        "The message type is not installed where the capture node runs, so its shape could not "
        "be checked."},
       {"finding", "type support not found: realsense2_camera_msgs/msg/Extrinsics"},
       {"id", "problem:types:/camera/extrinsics/depth_to_color"},
       {"severity", "unknown"},
       {"target", "topic:/camera/extrinsics/depth_to_color"},
       {"title",
        "Message type of /camera/extrinsics/depth_to_color is not available at the capture node"},
       {"verify", "ros2 interface show realsense2_camera_msgs/msg/Extrinsics"}},
      {{"detector", "unconnected_endpoints"},
       {"explanation",
        "twist_mux holds /e_stop as a lock topic; /safety_plc_bridge publishes it at 10 Hz."},
       {"id", "problem:info:/e_stop"},
       {"severity", "info"},
       {"target", "topic:/e_stop"},
       {"title", "/e_stop is a lock topic of /twist_mux"},
       {"verify", "ros2 topic echo /e_stop --once"}},
  });
}

}  // namespace

json build_comparison(const json& current_entities, const json& baseline_entities,
                      const json& current_tf, const json& baseline_tf) {
  auto changed = [&](std::string_view id, std::string_view status, std::string_view summary) {
    return change(current_entities, baseline_entities, id, status, summary);
  };
  json changes = json::array({
      changed("node:/static_tf_camera", "added",
              "new static transform publisher base_link → camera_link"),
      changed("node:/docking_tag_filter", "removed",
              "no longer in the graph; it published /detected_dock_pose"),
      changed("node:/battery_monitor", "changed",
              "use_sim_time false → true; now subscribes /clock"),
      changed("topic:/camera/color/image_raw", "changed",
              "publisher reliability reliable → best_effort"),
      changed("topic:/detected_dock_pose", "changed", "publishers 1 → 0"),
      changed("topic:/detections", "changed", "subscribers 1 → 0"),
      changed("topic:/clock", "added", "subscribed by /battery_monitor; no publisher"),
      changed("topic:/camera/extrinsics/depth_to_color", "added",
              "published by the updated camera driver"),
      changed("topic:/camera/aligned_depth_to_color/image_raw", "removed",
              "depth alignment disabled in the camera driver"),
      {{"after",
        {{"frame", "camera_link"}, {"parent_edges", edges_into(current_tf, "camera_link")}}},
       {"before",
        {{"frame", "camera_link"}, {"parent_edges", edges_into(baseline_tf, "camera_link")}}},
       {"id", "frame:camera_link"},
       {"kind", "frame"},
       {"name", "camera_link"},
       {"status", "changed"},
       {"summary", "parents camera_mount → camera_mount, base_link"}},
  });
  changes[2]["parameters"] = {{"use_sim_time", {{"after", true}, {"before", false}}}};
  return {{"baseline_label", "amr-07 baseline 2026-12-02"},
          {"changes", changes},
          {"warnings",
           {{"baseline_age", "the baseline is 6 days 21 hours older than the current capture"},
            {"ignored",
             {"endpoint counts of /rosout and /parameter_events", "capture nodes named /vistrel_*",
              "launch helper nodes named /launch_ros_*"}},
            {"rates", "rates are compared only where both captures sampled the topic"}}}};
}

json build_problems(const json& current_capture) {
  const json& graph = current_capture["graph"];
  return {
      {"detectors_run",
       {"qos_compatibility", "unconnected_endpoints", "clock_consistency", "tf_parents",
        "message_types", "duplicate_names"}},
      {"findings", build_findings(graph["node_parameters"])},
      {"not_checked", {"services", "actions", "parameters other than use_sim_time"}},
      {"observer", {{"node", observer_node}, {"source", "node name registered by this capture"}}},
      {"parameters",
       {{"answered", graph["node_parameters"].size()},
        {"queried", graph["parameters_queried"].size()},
        {"status", "partial"},
        {"truncated", true}}},
      {"skipped", json::array({{{"detector", "lifecycle_states"},
                                {"reason", "get_state timed out on 3 of 14 managed nodes"}}})},
      {"status", "partial"}};
}

}  // namespace qm::demo
