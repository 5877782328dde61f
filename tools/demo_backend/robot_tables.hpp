#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

// The robot of the demo: amr-07, a warehouse robot with a Nav2 stack, during a docking
// bring-up. Every document value is derived from these tables.
namespace qm::demo {

inline constexpr std::string_view session_schema = "quillmesh.terminal-session/1";
inline constexpr std::string_view observer_node = "/vistrel_48213";
inline constexpr std::string_view baseline_observer_node = "/vistrel_39077";
inline constexpr int launch_pid = 41190;
inline constexpr int baseline_launch_pid = 38854;
inline constexpr double window_s = 5.0;
// Unix times of the session start, the live capture and the baseline capture.
inline constexpr double session_start_s = 1796823662.0;
inline constexpr double updated_at_s = 1796825007.0;
inline constexpr double baseline_at_s = 1796228444.0;
inline constexpr std::string_view session_dir =
    "/home/robot/.quillmesh/sessions/2026-12-09T13-41-02Z";
inline constexpr std::string_view workspace_root = "/home/robot/ws/amr_ws";
inline constexpr std::string_view bag_path = "/home/robot/bags/warehouse_b_docking_2026-12-08";
inline constexpr std::string_view check_command =
    "amr_check docking-bringup --launch robot.launch.py";

enum class RateKind { none, hz, latched };

struct TopicSpec {
  std::string name;
  std::string type;
  std::string qos;  // a profile name of qos_profile()
  RateKind kind = RateKind::none;
  double hz = 0.0;
};

struct NodeSpec {
  std::vector<std::string> publishes;
  std::vector<std::string> subscribes;
};

// Node name -> endpoints, in the order the node declares them.
using NodeTable = std::map<std::string, NodeSpec>;

struct TfEdgeSpec {
  std::string parent;
  std::string child;
  std::optional<double> rate_hz;  // none for a static transform
  std::vector<std::string> publishers;
};

// (node, topic, "pub" or "sub") -> QoS profile name, where an endpoint differs from its topic.
using QosOverrides = std::map<std::tuple<std::string, std::string, std::string>, std::string>;

const std::vector<TopicSpec>& topic_specs();
const TopicSpec* find_topic(std::string_view name);
nlohmann::json qos_profile(std::string_view name);

// The live graph without the endpoints every ROS 2 node has (/rosout, /parameter_events).
const NodeTable& live_nodes();
// Adds /rosout and /parameter_events to every node's publications.
NodeTable with_default_endpoints(NodeTable nodes);
const QosOverrides& live_qos_overrides();
const std::vector<TfEdgeSpec>& live_tf_edges();

// Declared rate bounds of the saved profile: topic -> {min_hz, max_hz}.
const nlohmann::json& expected_rates();
const std::vector<std::string>& readiness_topics();
const std::map<std::string, std::string>& skipped_rates();
// Mean serialized size of a message type in bytes; 0 when not listed.
int message_size(std::string_view type);
bool is_unstamped(std::string_view type);

const std::set<std::string>& unlisted_nodes();
const std::set<std::string>& sim_time_nodes();
const std::set<std::string>& unanswered_parameter_nodes();
const std::set<std::string>& not_queried_nodes();
const std::set<std::string>& stale_parameter_nodes();

}  // namespace qm::demo
