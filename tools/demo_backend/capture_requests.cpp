#include "capture_requests.hpp"

#include <fmt/format.h>

#include <array>
#include <filesystem>
#include <system_error>

#include "atomic_writer.hpp"
#include "entity_lookup.hpp"
#include "message_samples.hpp"
#include "rate_drift.hpp"
#include "robot_tables.hpp"
#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

constexpr std::string_view topic_prefix = "topic:";
constexpr std::string_view node_prefix = "node:";

std::string side_name(const Request& request) {
  return request.baseline ? "baseline" : "current";
}

// Only letters, digits, dots, dashes and underscores reach a file name, so no id can leave the
// export folder or name a hidden file.
std::string export_file_name(std::string_view id) {
  std::string name;
  for (const char c : id.substr(0, 120)) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.';
    name += plain ? c : '_';
  }
  if (name.empty() || name.front() == '.') {
    name.insert(name.begin(), '_');
  }
  return name + ".json";
}

struct FrameOffset {
  std::string_view frame;
  std::array<double, 3> offset;  // from base_link, metres
};

constexpr std::array<FrameOffset, 9> frame_offsets = {{
    {"base_link", {0.0, 0.0, 0.0}},
    {"base_footprint", {0.0, 0.0, -0.05}},
    {"base_laser", {0.21, 0.0, 0.18}},
    {"imu_link", {0.0, 0.0, 0.1}},
    {"camera_link", {0.25, 0.0, 0.32}},
    {"camera_color_frame", {0.25, 0.015, 0.32}},
    {"camera_color_optical_frame", {0.25, 0.015, 0.32}},
    {"camera_depth_frame", {0.25, 0.0, 0.32}},
    {"camera_depth_optical_frame", {0.25, 0.0, 0.32}},
}};

json tf_lookup(std::string_view frame, DemoState& state) {
  std::normal_distribution<double> noise(0.0, 0.004);
  // The robot stands near the staging pose in front of the dock.
  const double x = 12.4 + noise(state.random);
  const double y = 3.1 + noise(state.random);
  json lookup = {{"source_frame", frame}, {"status", "ok"}, {"target_frame", "map"}};
  if (frame == "map") {
    lookup["translation_m"] = {0.0, 0.0, 0.0};
    return lookup;
  }
  if (frame == "odom") {
    lookup["translation_m"] = {0.42, -0.08, 0.0};
    return lookup;
  }
  for (const FrameOffset& entry : frame_offsets) {
    if (entry.frame == frame) {
      lookup["translation_m"] = {round_to(x + entry.offset[0], 2), round_to(y + entry.offset[1], 2),
                                 round_to(entry.offset[2], 2)};
      if (frame.starts_with("camera_")) {
        lookup["note"] = "camera_link has two parents; this lookup went through camera_mount";
      }
      return lookup;
    }
  }
  lookup["status"] = "failed";
  lookup["error"] = fmt::format("frame {} is not in the captured TF tree", frame);
  return lookup;
}

}  // namespace

void handle_refresh(DemoState& state, const Request& request, const Instant& now) {
  json& rates = state.document["current"]["rates"];
  std::string followed;
  if (request.entity_id.starts_with(topic_prefix) && !request.baseline) {
    const std::string topic = request.entity_id.substr(topic_prefix.size());
    if (!rates["topics"].contains(topic) && follow_topic_rate(state, topic)) {
      rates["plan"]["reasons"][topic] = "selected in the viewer when the capture was refreshed";
      json& skipped = rates["skipped"];
      for (auto entry = skipped.begin(); entry != skipped.end(); ++entry) {
        if (entry->value("topic", "") == topic) {
          skipped.erase(entry);
          break;
        }
      }
      followed = fmt::format("; {} is sampled from now on", topic);
    }
  }
  sample_rates(state);
  state.document["current"]["graph"]["generated_at"] = round_to(now.wall_s - 0.4, 3);
  report(state, "Refreshed capture",
         fmt::format("Capture refreshed at {}: graph observed again, {} topic rates re-sampled{}",
                     clock_utc(now.wall_s), state.drift.size(), followed));
}

void handle_export(DemoState& state, const Request& request, const Instant& now) {
  const std::string side = side_name(request);
  json feedback = {{"at", iso_utc(now.wall_s)}, {"entity_id", request.entity_id}, {"side", side}};
  json& runtime = state.document["runtime"];
  const json entity = find_side_entity(state.document, request.entity_id, request.baseline);
  if (entity.is_null()) {
    feedback["status"] = "failed";
    feedback["path"] = nullptr;
    feedback["error"] = fmt::format("{} is not in the {} capture", request.entity_id, side);
    runtime["export_feedback"] = std::move(feedback);
    report(state, "Export failed", fmt::format("Export of {} failed", request.entity_id));
    return;
  }
  const std::filesystem::path folder = state.session_path.parent_path() / "exports";
  const std::filesystem::path destination = folder / export_file_name(request.entity_id);
  const json record = {{"entity", entity},
                       {"entity_id", request.entity_id},
                       {"exported_at", feedback["at"]},
                       {"side", side}};
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  const auto written =
      made ? std::expected<void, std::string>(std::unexpected(
                 fmt::format("cannot create {}: {}", folder.string(), made.message())))
           : write_atomically(destination,
                              record.dump(2, ' ', false, json::error_handler_t::replace) + "\n");
  if (!written) {
    feedback["status"] = "failed";
    feedback["path"] = destination.string();
    feedback["error"] = written.error();
    runtime["export_feedback"] = std::move(feedback);
    runtime["error"] = written.error();
    report(state, "Export failed", fmt::format("Export of {} failed", request.entity_id));
    return;
  }
  feedback["status"] = "success";
  feedback["path"] = destination.string();
  feedback["error"] = nullptr;
  runtime["export_feedback"] = std::move(feedback);
  runtime["last_export"] = destination.string();
  runtime["error"] = nullptr;
  report(state, "Exported " + request.entity_id,
         fmt::format("Exported {} ({}) to {}", request.entity_id, side, destination.string()));
}

void handle_inspect(DemoState& state, const Request& request, const Instant& now) {
  const std::string at = iso_utc(now.wall_s);
  json inspection = {{"bounds", {{"max_bytes", 1048576}, {"max_messages", 3}, {"timeout_s", 2.0}}},
                     {"entity_id", request.entity_id},
                     {"errors", json::object()},
                     {"finished_at", at},
                     {"graph_observed_at", state.document["current"]["graph"]["generated_at"]},
                     {"requested_at", at},
                     {"side", side_name(request)},
                     {"started_at", at}};
  const std::string topic = request.entity_id.starts_with(topic_prefix)
                                ? request.entity_id.substr(topic_prefix.size())
                                : std::string();
  const json entity = find_side_entity(state.document, request.entity_id, false);
  const TopicSpec* spec = find_topic(topic);
  const json measurement =
      state.document["current"]["rates"]["topics"].value(topic, json::object());
  const std::string measured = measurement.value("status", "");
  if (topic.empty()) {
    inspection["status"] = "failed";
    inspection["errors"] = {{"selection", "only topics can be inspected"}};
  } else if (request.baseline) {
    inspection["status"] = "unavailable";
    inspection["errors"] = {
        {"side", "the baseline is a saved capture; only the live graph can be sampled"}};
  } else if (entity.is_null() || spec == nullptr) {
    inspection["status"] = "failed";
    inspection["errors"] = {{"graph", fmt::format("{} is not in the latest capture", topic)}};
  } else if (entity.value("details", json::object()).value("publisher_count", 0) == 0) {
    inspection["status"] = "no_messages";
    inspection["errors"] = {{"peek", "no publisher in discovery; nothing to sample"}};
  } else if (measured == "type_unavailable") {
    inspection["status"] = "failed";
    inspection["collection_error"] = fmt::format("type support not found: {}", spec->type);
  } else if (measured == "silent") {
    inspection["status"] = "timed_out";
    inspection["errors"] = {{"peek", "no message within 2.0 s"}};
  } else {
    const double rate =
        measurement.value("mean_rate_hz", spec->kind == RateKind::hz ? spec->hz : 1.0);
    const json qos = qos_profile(spec->qos);
    inspection["observations"] = {
        {"peek",
         {{"messages",
           sample_messages(topic, spec->type, rate, round_to(now.wall_s - 0.3, 3), state.random)},
          {"qos", {{"durability", qos["durability"]}, {"reliability", "best_effort"}}},
          {"type", spec->type}}},
        {"shape", message_shape(spec->type)}};
    inspection["status"] = "complete";
  }
  const std::string outcome = inspection["status"].get<std::string>();
  state.document["inspection"] = std::move(inspection);
  report(state, fmt::format("Inspected {}", request.entity_id),
         fmt::format("Inspection of {}: {}", request.entity_id, outcome));
}

void handle_message_tf(DemoState& state, const Request& request, const Instant& now) {
  const std::string topic = request.entity_id.starts_with(topic_prefix)
                                ? request.entity_id.substr(topic_prefix.size())
                                : std::string();
  const TopicSpec* spec = find_topic(topic);
  json result = {{"requested_at", iso_utc(now.wall_s)}, {"topic", topic}};
  if (request.baseline) {
    result["status"] = "unavailable";
    result["reason"] = "message-time TF needs the live graph; the baseline is a saved capture";
  } else if (spec == nullptr ||
             find_side_entity(state.document, request.entity_id, false).is_null()) {
    result["status"] = "failed";
    result["reason"] =
        topic.empty() ? "select a topic" : fmt::format("{} is not in the latest capture", topic);
  } else if (const std::string frame = frame_of_topic(topic, spec->type); frame.empty()) {
    result["status"] = "no_stamp";
    result["reason"] = fmt::format("{} carries no header stamp", spec->type);
  } else {
    result["stamp"] = round_to(now.wall_s - 0.2, 3);
    result["lookups"] = json::array({tf_lookup(frame, state)});
    result["status"] = result["lookups"][0]["status"];
  }
  const std::string outcome = result["status"].get<std::string>();
  state.document["message_tf"] = std::move(result);
  report(state, fmt::format("Message-time TF of {}", request.entity_id),
         fmt::format("Message-time TF of {}: {}", request.entity_id, outcome));
}

void handle_config_diff(DemoState& state, const Request& request, const Instant& now) {
  if (!request.entity_id.starts_with(node_prefix)) {
    report(state, "Configuration diff needs a node", "Select a node to compare its configuration");
    return;
  }
  const std::string node = request.entity_id.substr(node_prefix.size());
  json diff = {{"node", node}, {"requested_at", iso_utc(now.wall_s)}};
  const json declared =
      state.document["project"]["source_mappings"].value(request.entity_id, json::object());
  diff["declared_source"] = declared.value(
      "file", fmt::format("{}/src/amr_bringup/config/nav2_params.yaml", workspace_root));
  if (request.baseline) {
    diff["status"] = "unavailable: the baseline is a saved capture";
  } else if (find_side_entity(state.document, request.entity_id, false).is_null()) {
    diff["status"] = fmt::format("unavailable: {} is not in the latest capture", node);
  } else if (unanswered_parameter_nodes().contains(node)) {
    diff["status"] = fmt::format("unavailable: {} did not answer the parameter read", node);
  } else if (node == "/controller_server") {
    diff["differences"] =
        json::array({{{"declared", 0.5}, {"live", 0.35}, {"parameter", "FollowPath.vx_max"}},
                     {{"declared", "nav2_mppi_controller::MPPIController"},
                      {"live", "nav2_mppi_controller::MPPIController"},
                      {"parameter", "FollowPath.plugin"}}});
    diff["matched"] = 84;
    diff["status"] = "1 difference";
  } else if (node == "/battery_monitor") {
    diff["declared_source"] = fmt::format("{}/src/amr_bringup/config/power.yaml", workspace_root);
    diff["differences"] =
        json::array({{{"declared", false}, {"live", true}, {"parameter", "use_sim_time"}}});
    diff["matched"] = 6;
    diff["status"] = "1 difference";
  } else {
    diff["differences"] = json::array();
    diff["matched"] = 4 + crc32_of(node) % 40;
    diff["status"] = "no difference";
  }
  const std::string outcome = diff["status"].get<std::string>();
  state.document["configuration_diff"] = std::move(diff);
  report(state, fmt::format("Compared configuration of {}", node),
         fmt::format("Configuration of {}: {}", node, outcome));
}

}  // namespace qm::demo
