#include "demo_document.hpp"

#include <fmt/format.h>

#include <set>
#include <string>

#include "capture_builder.hpp"
#include "evidence_builder.hpp"
#include "findings_builder.hpp"
#include "launch_builder.hpp"
#include "robot_tables.hpp"
#include "stable_numbers.hpp"
#include "workspace_builder.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

json build_runtime() {
  const json launch = build_launch();
  const std::string export_path = fmt::format("{}/exports/topic__scan.json", session_dir);
  const auto& recorded = live_nodes().at("/rosbag2_recorder").subscribes;
  return {{"check",
           {{"command", check_command}, {"last_run", "run-2026-12-09-1342"}, {"status", "idle"}}},
          {"distribution", "jazzy"},
          {"domain_id", 42},
          {"error", nullptr},
          {"export_feedback",
           {{"at", "2026-12-09T13:52:10Z"},
            {"entity_id", "topic:/scan"},
            {"error", nullptr},
            {"path", export_path},
            {"side", "current"},
            {"status", "success"}}},
          {"last_export", export_path},
          {"launch", launch},
          {"launch_log_page", build_example_log_page(launch)},
          {"playback", build_playback()},
          {"recording",
           {{"bytes_written", 734003200},
            {"path", fmt::format("{}/recording_0", session_dir)},
            {"started_at", "2026-12-09T13:41:40Z"},
            {"state", "recording"},
            {"storage_id", "mcap"},
            {"topics", std::set<std::string>(recorded.begin(), recorded.end())},
            {"writer", "rosbag2_recorder (owned by this session)"}}},
          {"session",
           {{"directory", session_dir},
            {"note", "Docking bring-up after the RealSense driver update (AMR-412)."}}},
          {"status", "Live capture ready"},
          {"updated_at", iso_utc(updated_at_s)}};
}

}  // namespace

json build_demo_document() {
  const Capture current = current_capture();
  const Capture baseline = baseline_capture();
  return {{"active_experiment_id", "exp-3"},
          {"assistant", build_assistant()},
          {"baseline", baseline.capture},
          {"baseline_entities", baseline.entities},
          {"capabilities",
           {{"assistant", true},
            {"checks", true},
            {"export", true},
            {"inspect", true},
            {"playback", true},
            {"project", true},
            {"refresh", true},
            {"task", true}}},
          {"comparison", build_comparison(current.entities, baseline.entities,
                                          current.capture["tf"], baseline.capture["tf"])},
          {"configuration_diff",
           {{"declared_source",
             fmt::format("{}/src/amr_bringup/config/nav2_params.yaml", workspace_root)},
            {"differences",
             json::array({{{"declared", 0.5}, {"live", 0.35}, {"parameter", "FollowPath.vx_max"}},
                          {{"declared", "nav2_mppi_controller::MPPIController"},
                           {"live", "nav2_mppi_controller::MPPIController"},
                           {"parameter", "FollowPath.plugin"}}})},
            {"matched", 84},
            {"node", "/controller_server"},
            {"requested_at", "2026-12-09T13:55:02Z"},
            {"status", "1 difference"}}},
          {"current", current.capture},
          {"entities", current.entities},
          {"inspection", build_inspection()},
          {"message_tf",
           {{"lookups", json::array({{{"source_frame", "base_laser"},
                                      {"status", "ok"},
                                      {"target_frame", "map"},
                                      {"translation_m", {12.61, 3.11, 0.18}}}})},
            {"requested_at", "2026-12-09T13:59:44Z"},
            {"stamp", 1796824783.301},
            {"status", "ok"},
            {"topic", "/scan"}}},
          {"mode", "live"},
          {"notice", "Watching amr-07 · docking bring-up (AMR-412)"},
          {"product_mode", "ai-assisted"},
          {"problems", build_problems(current.capture)},
          {"profile", build_profile()},
          {"project", build_project()},
          {"revision", 17},
          {"runs", build_runs()},
          {"runtime", build_runtime()},
          {"schema", session_schema},
          {"task", build_task()},
          {"task_path", fmt::format("{}/.quillmesh/tasks/AMR-412.json", workspace_root)},
          {"view_state", {{"filter", ""}, {"selected_id", "health:summary"}, {"tab", 0}}}};
}

std::string document_text(const json& document) {
  return document.dump(2) + "\n";
}

}  // namespace qm::demo
