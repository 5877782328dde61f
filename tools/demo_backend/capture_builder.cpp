#include "capture_builder.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "robot_tables.hpp"
#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

struct Endpoints {
  std::vector<std::string> publishers;
  std::vector<std::string> subscribers;
  std::vector<json> publisher_qos;
  std::vector<json> subscriber_qos;
};

using EndpointTable = std::map<std::string, Endpoints>;

struct Graph {
  json edges = json::array();
  EndpointTable endpoints;
};

struct CaptureInput {
  std::string label;
  double moment_s = 0.0;
  NodeTable nodes;
  QosOverrides overrides;
  std::vector<TfEdgeSpec> tf_edges;
  std::set<std::string> sim_time;
  std::string observer;
  json sources;
  bool live = false;
};

// Mappings to source declarations that the backend attached to entities themselves.
json entity_mapping(std::string_view id) {
  if (id == "node:/collision_monitor") {
    return {{"confidence", "candidate"},
            {"declaration",
             "LifecycleNode(package='nav2_collision_monitor', executable='collision_monitor')"},
            {"file", fmt::format("{}/src/amr_bringup/launch/navigation.launch.py", workspace_root)},
            {"line", 133},
            {"package", "amr_bringup"}};
  }
  if (id == "topic:/detected_dock_pose") {
    return {{"confidence", "candidate"},
            {"declaration",
             "docking_server.ros__parameters.dock_plugins.charging_dock.detected_pose_topic"},
            {"file", fmt::format("{}/src/amr_docking/config/docking.yaml", workspace_root)},
            {"line", 27},
            {"package", "amr_docking"}};
  }
  return nullptr;
}

Graph build_graph(const NodeTable& nodes, const QosOverrides& overrides) {
  Graph graph;
  for (const auto& [node, spec] : nodes) {
    for (const auto& [direction, topics] : {std::pair{std::string("pub"), &spec.publishes},
                                            std::pair{std::string("sub"), &spec.subscribes}}) {
      for (const std::string& topic : *topics) {
        const TopicSpec* topic_spec = find_topic(topic);
        const auto override_found = overrides.find({node, topic, direction});
        const std::string& profile =
            override_found != overrides.end() ? override_found->second : topic_spec->qos;
        json qos = qos_profile(profile);
        graph.edges.push_back({{"direction", direction},
                               {"node", node},
                               {"qos", qos},
                               {"topic", topic},
                               {"type", topic_spec->type}});
        Endpoints& entry = graph.endpoints[topic];
        if (direction == "pub") {
          entry.publishers.push_back(node);
          entry.publisher_qos.push_back(std::move(qos));
        } else {
          entry.subscribers.push_back(node);
          entry.subscriber_qos.push_back(std::move(qos));
        }
      }
    }
  }
  return graph;
}

json sorted_names(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

json node_entity(const std::string& name, const NodeSpec& spec) {
  const std::size_t slash = name.rfind('/');
  const std::string ns = name.substr(0, slash);
  json entity = {{"details",
                  {{"listed", !unlisted_nodes().contains(name)},
                   {"name", name.substr(slash + 1)},
                   {"namespace", ns.empty() ? "/" : ns},
                   {"publication_count", spec.publishes.size()},
                   {"publishes", sorted_names(spec.publishes)},
                   {"subscribes", sorted_names(spec.subscribes)},
                   {"subscription_count", spec.subscribes.size()}}},
                 {"id", "node:" + name},
                 {"kind", "node"},
                 {"name", name}};
  if (json mapping = entity_mapping(entity["id"].get<std::string>()); !mapping.is_null()) {
    entity["project_mapping"] = std::move(mapping);
  }
  return entity;
}

json policy_values(const std::vector<json>& profiles, const char* policy) {
  std::set<std::string> values;
  for (const json& qos : profiles) {
    values.insert(qos[policy].get<std::string>());
  }
  return values;
}

json topic_entity(const std::string& name, const Endpoints& endpoints) {
  json entity = {
      {"details",
       {{"publisher_count", endpoints.publishers.size()},
        {"publishers", endpoints.publishers},
        {"qos_summary",
         {{"publisher_durability", policy_values(endpoints.publisher_qos, "durability")},
          {"publisher_reliability", policy_values(endpoints.publisher_qos, "reliability")},
          {"subscriber_durability", policy_values(endpoints.subscriber_qos, "durability")},
          {"subscriber_reliability", policy_values(endpoints.subscriber_qos, "reliability")}}},
        {"subscriber_count", endpoints.subscribers.size()},
        {"subscribers", endpoints.subscribers},
        {"type", find_topic(name)->type}}},
      {"id", "topic:" + name},
      {"kind", "topic"},
      {"name", name}};
  if (json mapping = entity_mapping(entity["id"].get<std::string>()); !mapping.is_null()) {
    entity["project_mapping"] = std::move(mapping);
  }
  return entity;
}

json build_entities(const NodeTable& nodes, const EndpointTable& endpoints) {
  json entities = json::array();
  for (const auto& [name, spec] : nodes) {
    entities.push_back(node_entity(name, spec));
  }
  for (const auto& [name, entry] : endpoints) {
    entities.push_back(topic_entity(name, entry));
  }
  return entities;
}

json latched_rate(const std::string& topic, std::size_t count) {
  const int size = message_size(find_topic(topic)->type);
  return {{"count", count},
          {"mean_size_bytes", size * (topic == "/map" ? 200 : 1)},
          {"rate_note", fmt::format("{} latched message{} (transient local); no rate", count,
                                    count != 1 ? "s" : "")},
          {"stamp_note", "latched messages are not compared with receipt time"},
          {"status", "measured"}};
}

json build_rates(const EndpointTable& endpoints, const std::string& observer, bool live) {
  json topics = json::object();
  for (const auto& [topic, entry] : endpoints) {
    if (topic == "/rosout" || topic == "/parameter_events" || skipped_rates().contains(topic)) {
      continue;
    }
    const TopicSpec* spec = find_topic(topic);
    if (entry.publishers.empty()) {
      topics[topic] = {{"reason", "no publisher in discovery"}, {"status", "no_publisher"}};
    } else if (spec->kind == RateKind::latched) {
      topics[topic] = latched_rate(topic, entry.publishers.size());
    } else if (spec->kind == RateKind::hz) {
      topics[topic] = measured_rate(topic, example_mean_rate(topic, spec->hz));
    }
  }
  if (live) {
    // /battery_monitor runs on simulation time without a /clock, so its timers never fire.
    topics["/battery_state"] = silent_rate("/battery_state");
  }
  if (topics.contains("/camera/depth/color/points")) {
    topics["/camera/depth/color/points"] = {
        {"bytes_per_s", 101227008.0},
        {"count", 21},
        {"duration_s", 1.42},
        {"mean_size_bytes", 4915200},
        {"rate_note", "at least 14.1 Hz (lower bound; byte budget reached)"},
        {"reason",
         "sample stopped after 96 MiB: per-topic byte budget of this observer reached; the rate "
         "is a lower bound"},
        {"status", "observer_limited"}};
  }
  if (topics.contains("/camera/extrinsics/depth_to_color")) {
    topics["/camera/extrinsics/depth_to_color"] = {
        {"reason", fmt::format("realsense2_camera_msgs is not installed where {} runs", observer)},
        {"status", "type_unavailable"}};
  }
  json reasons = json::object();
  const auto& readiness = readiness_topics();
  for (const auto& [topic, measurement] : topics.items()) {
    if (std::find(readiness.begin(), readiness.end(), topic) != readiness.end()) {
      reasons[topic] = "declared readiness check of the launch";
    } else if (expected_rates().contains(topic)) {
      reasons[topic] = "declared rate bound in profile amr-07-docking";
    } else {
      reasons[topic] = "published topic within the 48-topic sample budget";
    }
  }
  json expected = json::object();
  for (const auto& [topic, bounds] : expected_rates().items()) {
    if (endpoints.contains(topic)) {
      expected[topic] = bounds;
    }
  }
  json skipped = json::array();
  for (const auto& [topic, reason] : skipped_rates()) {
    if (endpoints.contains(topic)) {
      skipped.push_back({{"reason", reason}, {"topic", topic}});
    }
  }
  return {{"budget", {{"max_bytes_per_topic", 100663296}, {"max_topics", 48}}},
          {"checks",
           {{"/battery_state", {{"samples", {0.0, 0.0, 0.0}}}},
            {"/cmd_vel", {{"samples", {20.1, 19.8, 20.0}}}},
            {"/odom", {{"samples", {30.0, 29.9, 30.1}}}},
            {"/scan", {{"samples", {9.98, 10.02, 9.97}}}}}},
          {"expected", expected},
          {"plan", {{"reasons", reasons}}},
          {"skipped", skipped},
          {"status", "measured"},
          {"topics", topics},
          {"window_s", window_s}};
}

json build_tf(const std::vector<TfEdgeSpec>& edges) {
  std::set<std::string> frames;
  std::map<std::string, std::vector<std::string>> parents;
  for (const TfEdgeSpec& edge : edges) {
    frames.insert(edge.parent);
    frames.insert(edge.child);
    parents[edge.child].push_back(edge.parent);
  }
  json multi = json::array();
  for (const auto& [child, names] : parents) {
    if (names.size() > 1) {
      multi.push_back({{"frame", child}, {"parents", sorted_names(names)}});
    }
  }
  json roots = json::array();
  for (const std::string& frame : frames) {
    if (!parents.contains(frame)) {
      roots.push_back(frame);
    }
  }
  json tf_edges = json::array();
  for (const TfEdgeSpec& edge : edges) {
    json entry = {{"child", edge.child},
                  {"parent", edge.parent},
                  {"publisher_candidates", edge.publishers},
                  {"static", !edge.rate_hz.has_value()}};
    if (edge.rate_hz) {
      entry["rate_hz"] = *edge.rate_hz;
    }
    tf_edges.push_back(std::move(entry));
  }
  return {{"edges", tf_edges},
          {"frames", frames},
          {"listened_s", window_s},
          {"multi_parent_frames", multi},
          {"roots", roots}};
}

json build_capture_json(const CaptureInput& input, const Graph& graph) {
  json queried = json::array();
  json answered = json::object();
  for (const auto& [name, spec] : input.nodes) {
    if (not_queried_nodes().contains(name)) {
      continue;
    }
    queried.push_back(name);
    if (!unanswered_parameter_nodes().contains(name)) {
      answered[name] = {{"use_sim_time", input.sim_time.contains(name)}};
    }
  }
  json stale = json::object();
  for (const std::string& name : stale_parameter_nodes()) {
    stale[name] = {{"use_sim_time", false}};
  }
  json node_names = json::array();
  for (const auto& [name, spec] : input.nodes) {
    node_names.push_back(name);
  }
  json topic_list = json::array();
  for (const auto& [name, entry] : graph.endpoints) {
    topic_list.push_back({{"name", name}, {"types", {find_topic(name)->type}}});
  }
  return {{"graph",
           {{"edges", graph.edges},
            {"generated_at", round_to(input.moment_s + -4.6, 3)},
            {"node_parameters", answered},
            {"nodes", node_names},
            {"parameters_queried", queried},
            {"parameters_stale", {{"age_s", 128.4}, {"values", stale}}},
            {"parameters_status",
             fmt::format("answered {} of {}; 2.0 s timeout", answered.size(), queried.size())},
            {"topics", topic_list}}},
          {"label", input.label},
          {"rates", build_rates(graph.endpoints, input.observer, input.live)},
          {"sources", input.sources},
          {"tf", build_tf(input.tf_edges)}};
}

Capture build_capture(const CaptureInput& input) {
  const Graph graph = build_graph(input.nodes, input.overrides);
  return {build_capture_json(input, graph), build_entities(input.nodes, graph.endpoints)};
}

json sorted_without_observers(const std::set<std::string>& names) {
  json list = json::array();
  for (const std::string& name : names) {
    if (name != observer_node && name != baseline_observer_node) {
      list.push_back(name);
    }
  }
  return list;
}

NodeTable baseline_nodes() {
  NodeTable nodes = live_nodes();
  nodes.erase("/static_tf_camera");
  nodes.erase(std::string(observer_node));
  nodes.erase(fmt::format("/launch_ros_{}", launch_pid));
  nodes[std::string(baseline_observer_node)] = {{}, {"/tf", "/tf_static"}};
  nodes[fmt::format("/launch_ros_{}", baseline_launch_pid)] = {};
  nodes["/docking_tag_filter"] = {{"/detected_dock_pose"}, {"/detections"}};
  nodes["/battery_monitor"] = {{"/battery_state", "/diagnostics"}, {}};
  auto& camera = nodes["/camera/realsense"].publishes;
  std::erase(camera, "/camera/extrinsics/depth_to_color");
  camera.emplace_back("/camera/aligned_depth_to_color/image_raw");
  return with_default_endpoints(std::move(nodes));
}

}  // namespace

double example_mean_rate(std::string_view topic, double nominal_hz) {
  return round_to(nominal_hz * (1.0 + jitter(topic, 0.006)), 2);
}

json measured_rate(std::string_view topic, double mean_hz) {
  const std::string name(topic);
  const std::string& type = find_topic(topic)->type;
  const int nominal_size = message_size(type);
  const int size =
      nominal_size + static_cast<int>(std::abs(jitter(name + "#size", 0.02)) * nominal_size);
  const std::int64_t count = std::max<std::int64_t>(round_to_integer(mean_hz * window_s), 2);
  const double period = 1.0 / mean_hz;
  json entry = {{"bytes_per_s", round_to(size * mean_hz, 1)},
                {"count", count},
                {"duration_s", round_to(static_cast<double>(count - 1) / mean_hz, 3)},
                {"last_receipt_age_s", round_to(period * (0.5 + jitter(name + "#age", 0.4)), 3)},
                {"max_gap_s", round_to(period * (1.35 + std::abs(jitter(name + "#max", 0.3))), 4)},
                {"mean_rate_hz", mean_hz},
                {"mean_size_bytes", size},
                {"min_gap_s", round_to(period * (0.7 + std::abs(jitter(name + "#min", 0.2))), 4)},
                {"status", "measured"}};
  if (expected_rates().contains(name)) {
    entry["expected"] = expected_rates()[name];
  }
  if (is_unstamped(type)) {
    entry["stamp_note"] = "message type carries no header stamp";
  } else {
    entry["stamp_offset_unverified_s"] =
        round_to(-0.004 - std::abs(jitter(name + "#stamp", 0.02)), 4);
  }
  return entry;
}

json silent_rate(std::string_view topic) {
  json entry = {{"count", 0},
                {"duration_s", window_s},
                {"rate_note", fmt::format("no message in {:g} s", window_s)},
                {"stamp_note", "no message to compare"},
                {"status", "silent"}};
  if (expected_rates().contains(std::string(topic))) {
    entry["expected"] = expected_rates()[std::string(topic)];
  }
  return entry;
}

Capture current_capture() {
  CaptureInput input;
  input.label = "amr-07 live · docking";
  input.moment_s = updated_at_s;
  input.nodes = with_default_endpoints(live_nodes());
  input.overrides = live_qos_overrides();
  input.tf_edges = live_tf_edges();
  input.sim_time = sim_time_nodes();
  input.observer = observer_node;
  input.sources = {
      {"graph",
       fmt::format("ROS 2 graph discovery on domain 42 by the capture node {}", observer_node)},
      {"host", "amr-07 (Ubuntu 24.04, ROS 2 Jazzy, rmw_fastrtps_cpp)"},
      {"parameters", "use_sim_time read through each node's parameter service"},
      {"rates", fmt::format("{:g} s samples received at the capture node", window_s)},
      {"tf", fmt::format("/tf and /tf_static listened for {:g} s", window_s)}};
  input.live = true;
  Capture capture = build_capture(input);
  std::set<std::string> not_answered = unanswered_parameter_nodes();
  capture.capture["warnings"] = {
      {"discovery", "2 participants joined during the capture; discovery completeness unknown"},
      {"rates",
       {"/camera/depth/color/points stopped at the byte budget; its rate is a lower bound",
        "/camera/extrinsics/depth_to_color type is not installed at the capture node"}},
      {"parameters",
       {{"not_answered", not_answered},
        {"not_asked", sorted_without_observers(not_queried_nodes())}}}};
  return capture;
}

Capture baseline_capture() {
  CaptureInput input;
  input.label = "amr-07 baseline 2026-12-02";
  input.moment_s = baseline_at_s;
  input.nodes = baseline_nodes();
  input.overrides = live_qos_overrides();
  input.overrides[{"/camera/realsense", "/camera/color/image_raw", "pub"}] = "default";
  for (const TfEdgeSpec& edge : live_tf_edges()) {
    if (edge.publishers != std::vector<std::string>{"/static_tf_camera"}) {
      input.tf_edges.push_back(edge);
    }
  }
  input.observer = baseline_observer_node;
  input.sources = {
      {"graph", fmt::format("ROS 2 graph discovery on domain 42 by the capture node {}",
                            baseline_observer_node)},
      {"host", "amr-07 (Ubuntu 24.04, ROS 2 Jazzy, rmw_fastrtps_cpp)"},
      {"saved_session", "/home/robot/.quillmesh/sessions/2026-12-02T16-02-11Z/session.json"},
      {"tf", fmt::format("/tf and /tf_static listened for {:g} s", window_s)}};
  Capture capture = build_capture(input);
  capture.capture["warnings"] = {{"discovery", "discovery completeness unknown"}};
  return capture;
}

}  // namespace qm::demo
