#include "evidence_builder.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "robot_tables.hpp"
#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

struct Gap {
  double start_s;
  double end_s;
};

struct LaneSpec {
  std::string topic;
  std::optional<double> rate_hz;
  int bins;
  std::vector<std::pair<int, int>> gap_bins;  // [first, last) bins without messages
  std::vector<Gap> gaps;
};

std::vector<std::int64_t> lane_bins(int count, double per_bin,
                                    const std::vector<std::pair<int, int>>& gaps,
                                    const std::string& seed) {
  std::vector<std::int64_t> bins;
  for (int index = 0; index < count; ++index) {
    const bool in_gap = std::any_of(gaps.begin(), gaps.end(), [&](const auto& gap) {
      return gap.first <= index && index < gap.second;
    });
    if (in_gap) {
      bins.push_back(0);
    } else {
      const double jittered = per_bin * (1.0 + jitter(fmt::format("{}{}", seed, index), 0.03));
      bins.push_back(std::max<std::int64_t>(round_to_integer(jittered), 1));
    }
  }
  return bins;
}

std::string run_file(std::string_view session, std::string_view run) {
  return fmt::format("/home/robot/.quillmesh/sessions/{}/runs/{}/result.json", session, run);
}

}  // namespace

json build_playback() {
  constexpr double duration = 312.6;
  const std::vector<LaneSpec> specs = {
      {"/scan", 10.0, 48, {{21, 23}}, {{136.8, 149.5}}},
      {"/odom", 30.0, 48, {}, {}},
      {"/tf", 90.0, 48, {}, {}},
      {"/tf_static", std::nullopt, 10, {}, {}},
      {"/imu/data", 100.0, 48, {}, {}},
      {"/cmd_vel", 20.0, 48, {{0, 3}, {40, 48}}, {{0.0, 19.5}, {260.5, 312.6}}},
      {"/camera/color/image_raw", 15.0, 100, {{60, 62}}, {{187.6, 193.8}}},
      {"/detected_dock_pose", std::nullopt, 0, {}, {}},
      {"/battery_state", 1.0, 48, {}, {}},
      {"/amcl_pose",
       5.0,
       48,
       {{10, 11}, {30, 31}, {33, 34}, {45, 46}},
       {{65.1, 71.6}, {195.4, 201.9}, {214.9, 221.4}, {293.1, 299.6}}},
  };
  json lanes = json::array();
  for (const LaneSpec& spec : specs) {
    std::vector<std::int64_t> bins;
    if (spec.topic == "/tf_static") {
      bins = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    } else if (spec.rate_hz) {
      bins = lane_bins(spec.bins, *spec.rate_hz * duration / spec.bins, spec.gap_bins, spec.topic);
    }
    std::int64_t count = 0;
    for (const std::int64_t bin : bins) {
      count += bin;
    }
    json gaps = json::array();
    for (const Gap& gap : spec.gaps) {
      gaps.push_back({{"end_s", gap.end_s}, {"kind", "silence"}, {"start_s", gap.start_s}});
    }
    lanes.push_back({{"bins", bins}, {"count", count}, {"gaps", gaps}, {"topic", spec.topic}});
  }
  return {
      {"bag", bag_path},
      {"lanes",
       {{"bin_s", round_to(duration / 48, 4)},
        {"files", 2},
        {"gap_rule",
         "a gap is at least one time bin without messages on a topic that averages more than one "
         "message per bin"},
        {"method", "message-index"},
        {"omitted_topics", 31},
        {"topics", lanes}}},
      {"log_tail",
       {"[INFO] [1796824801.512004113] [rosbag2_player]: Opened bag "
        "warehouse_b_docking_2026-12-08 (mcap, 2 files)",
        "[INFO] [1796824801.640219001] [rosbag2_player]: Playback started on domain 43 with "
        "--clock 100",
        "[INFO] [1796824885.002311875] [rosbag2_player]: Pausing play."}},
      {"owned", true},
      {"position",
       {{"basis", "player clock at the last pause"},
        {"note",
         "estimated from the player's /clock at its last state change; not read continuously"}}},
      {"position_s", 83.4},
      {"recording",
       {{"duration_s", duration},
        {"message_count", 118442},
        {"path", bag_path},
        {"started_at", "2026-12-08T15:12:40Z"},
        {"storage_id", "mcap"},
        {"topic_count", 41}}},
      {"seek", true},
      {"state", "paused"}};
}

json build_runs() {
  const std::string run_dir = fmt::format("{}/runs/run-2026-12-09-1342", session_dir);
  return json::array({
      {{"command", check_command},
       {"finished_at", "2026-12-09T13:44:58Z"},
       {"raw", {{"junit", run_dir + "/junit.xml"}, {"result_file", run_dir + "/result.json"}}},
       {"retained_id", "run-2026-12-09-1342"},
       {"stages",
        json::array({{{"duration_s", 48.2}, {"label", "colcon build"}, {"status", "passed"}},
                     {{"duration_s", 31.7}, {"label", "unit tests"}, {"status", "passed"}},
                     {{"duration_s", 62.0},
                      {"label", "launch readiness"},
                      {"measured", {{"timed_out", {"/detected_dock_pose"}}}},
                      {"status", "failed"}},
                     {{"label", "dock approach"},
                      {"reason", "launch readiness failed"},
                      {"status", "blocked"}},
                     {{"label", "report upload"},
                      {"reason", "disabled in this profile"},
                      {"status", "skipped"}}})},
       {"started_at", "2026-12-09T13:41:32Z"},
       {"status", "failed"},
       {"title", "Docking bring-up check"}},
      {{"command", "amr_check nav-smoke --launch robot.launch.py"},
       {"finished_at", "2026-12-08T17:19:41Z"},
       {"raw", {{"result_file", run_file("2026-12-08T17-02-50Z", "run-2026-12-08-1710")}}},
       {"retained_id", "run-2026-12-08-1710"},
       {"stages",
        json::array({{{"duration_s", 12.4}, {"label", "colcon build"}, {"status", "passed"}},
                     {{"duration_s", 18.9}, {"label", "launch readiness"}, {"status", "passed"}},
                     {{"duration_s", 241.3},
                      {"label", "goal sequence (4 goals)"},
                      {"measured", {{"goals_reached", 4}, {"mean_speed_m_s", 0.41}}},
                      {"status", "passed"}},
                     {{"duration_s", 0.8}, {"label", "report"}, {"status", "passed"}}})},
       {"started_at", "2026-12-08T17:10:03Z"},
       {"status", "passed"},
       {"title", "Navigation smoke test"}},
      {{"command", fmt::format("amr_check replay --bag {}", bag_path)},
       {"finished_at", "2026-12-08T09:31:20Z"},
       {"raw", {{"result_file", run_file("2026-12-08T09-28-44Z", "run-2026-12-08-0930")}}},
       {"retained_id", "run-2026-12-08-0930"},
       {"stages",
        json::array({{{"duration_s", 4.1}, {"label", "replay setup"}, {"status", "passed"}},
                     {{"label", "localization convergence"},
                      {"reason", "the bag has no /tf_static before 2.0 s"},
                      {"status", "blocked"}}})},
       {"started_at", "2026-12-08T09:30:02Z"},
       {"status", "blocked"},
       {"title", "Field replay: warehouse_b"}},
  });
}

json build_inspection() {
  struct Sample {
    double stamp;
    double x;
    double vx;
  };
  constexpr std::array<Sample, 3> samples = {{{1796824996.812, 12.418, 0.352},
                                              {1796824996.845, 12.430, 0.355},
                                              {1796824996.879, 12.442, 0.351}}};
  json messages = json::array();
  for (std::size_t index = 0; index < samples.size(); ++index) {
    const Sample& sample = samples[index];
    messages.push_back(
        {{"child_frame_id", "base_link"},
         {"header", {{"frame_id", "odom"}, {"stamp", sample.stamp}}},
         {"pose", {{"position", {{"x", sample.x}, {"y", 3.106}, {"z", 0.0}}}, {"yaw", 0.0412}}},
         {"sequence", index},
         {"twist", {{"angular_z", 0.012}, {"linear_x", sample.vx}}}});
  }
  return {{"bounds", {{"max_bytes", 1048576}, {"max_messages", 3}, {"timeout_s", 2.0}}},
          {"entity_id", "topic:/odom"},
          {"errors", json::object()},
          {"finished_at", "2026-12-09T14:03:16Z"},
          {"graph_observed_at", round_to(updated_at_s + -4.6, 3)},
          {"observations",
           {{"peek",
             {{"messages", messages},
              {"qos", {{"durability", "volatile"}, {"reliability", "best_effort"}}},
              {"type", "nav_msgs/msg/Odometry"}}},
            {"shape",
             {{"covariance", "36 floats each, not shown"},
              {"fields", {"header", "child_frame_id", "pose", "twist"}}}}}},
          {"requested_at", "2026-12-09T14:03:15Z"},
          {"side", "current"},
          {"started_at", "2026-12-09T14:03:15Z"},
          {"status", "complete"}};
}

}  // namespace qm::demo
