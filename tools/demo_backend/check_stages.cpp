#include "check_stages.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "robot_tables.hpp"
#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

struct StagePlan {
  std::string_view label;
  double seconds;  // how long the stage runs in the demo
  std::string_view
      outcome;  // "passed", "failed", or for a stage that never runs "blocked"/"skipped"
  std::string_view reason;
};

// The docking bring-up check fails where the live graph does: nobody publishes
// /detected_dock_pose, so the readiness stage times out and blocks the dock approach.
constexpr std::array<StagePlan, 5> stages = {{
    {"colcon build", 4.0, "passed", ""},
    {"unit tests", 3.0, "passed", ""},
    {"launch readiness", 5.0, "failed", ""},
    {"dock approach", 0.0, "blocked", "launch readiness failed"},
    {"report upload", 0.0, "skipped", "disabled in this profile"},
}};

json* running_run(DemoState& state) {
  if (!state.check) {
    return nullptr;
  }
  for (json& run : state.document["runs"]) {
    if (run.value("retained_id", "") == state.check->run_id) {
      return &run;
    }
  }
  return nullptr;
}

std::string unique_run_id(const json& runs, const Instant& now) {
  std::string base = "run-" + iso_utc(now.wall_s).substr(0, 19);
  std::replace(base.begin(), base.end(), 'T', '-');
  std::erase(base, ':');
  std::string id = base;
  for (int suffix = 2;; ++suffix) {
    bool taken = false;
    for (const json& run : runs) {
      taken = taken || run.value("retained_id", "") == id;
    }
    if (!taken) {
      return id;
    }
    id = fmt::format("{}-{}", base, suffix);
  }
}

void finish_run(DemoState& state, json& run, std::string_view status, const Instant& now) {
  run["status"] = status;
  run["finished_at"] = iso_utc(now.wall_s);
  json& check = state.document["runtime"]["check"];
  check["status"] = "idle";
  check["last_run"] = run["retained_id"];
  check.erase("run_id");
  const std::string result =
      fmt::format("{}/runs/{}/result.json", session_dir, run["retained_id"].get<std::string>());
  json& task = state.document["task"];
  if (task.is_object() && task["events"].is_array()) {
    const std::string text =
        status == "cancelled"
            ? "Docking bring-up check cancelled"
            : fmt::format("Docking bring-up check {} at launch readiness", status);
    task["events"].push_back({{"artifact", {{"path", result}}},
                              {"at", iso_utc(now.wall_s)},
                              {"kind", "check"},
                              {"text", text}});
    task["updated_at"] = iso_utc(now.wall_s);
  }
  state.document["notice"] =
      fmt::format("Check {} {}", run["retained_id"].get<std::string>(), status);
  state.check.reset();
}

}  // namespace

bool start_check(DemoState& state, const Instant& now) {
  if (state.check) {
    return false;
  }
  json& runs = state.document["runs"];
  if (!runs.is_array()) {
    runs = json::array();
  }
  const std::string id = unique_run_id(runs, now);
  const std::string folder = fmt::format("{}/runs/{}", session_dir, id);
  json stage_list = json::array();
  for (const StagePlan& plan : stages) {
    stage_list.push_back({{"label", plan.label}, {"status", "pending"}});
  }
  stage_list[0]["status"] = "running";
  // Newest first, as the Results view lists them.
  runs.insert(runs.begin(), json{{"command", check_command},
                                 {"raw", {{"result_file", folder + "/result.json"}}},
                                 {"retained_id", id},
                                 {"stages", stage_list},
                                 {"started_at", iso_utc(now.wall_s)},
                                 {"status", "running"},
                                 {"title", "Docking bring-up check"}});
  json& check = state.document["runtime"]["check"];
  check["status"] = "running";
  check["run_id"] = id;
  state.check = RunningCheck{id, 0, now.steady_s};
  return true;
}

bool advance_check(DemoState& state, const Instant& now) {
  json* run = running_run(state);
  if (run == nullptr) {
    state.check.reset();
    return false;
  }
  bool changed = false;
  while (state.check &&
         now.steady_s - state.check->stage_started_s >= stages[state.check->stage].seconds) {
    const StagePlan& plan = stages[state.check->stage];
    json& stage = (*run)["stages"][state.check->stage];
    stage["status"] = plan.outcome;
    stage["duration_s"] = round_to(now.steady_s - state.check->stage_started_s, 1);
    if (plan.label == "launch readiness") {
      stage["measured"] = {{"timed_out", {"/detected_dock_pose"}}};
    }
    changed = true;
    if (plan.outcome == "failed") {
      // What could not run after the failure says why.
      for (std::size_t later = state.check->stage + 1; later < stages.size(); ++later) {
        (*run)["stages"][later]["status"] = stages[later].outcome;
        (*run)["stages"][later]["reason"] = stages[later].reason;
      }
      finish_run(state, *run, "failed", now);
      break;
    }
    ++state.check->stage;
    state.check->stage_started_s = now.steady_s;
    if (state.check->stage == stages.size()) {
      finish_run(state, *run, "passed", now);
      break;
    }
    (*run)["stages"][state.check->stage]["status"] = "running";
  }
  return changed;
}

bool cancel_running_check(DemoState& state, const Instant& now) {
  json* run = running_run(state);
  if (run == nullptr) {
    state.check.reset();
    return false;
  }
  json& stage_list = (*run)["stages"];
  stage_list[state.check->stage]["status"] = "cancelled";
  stage_list[state.check->stage]["duration_s"] =
      round_to(now.steady_s - state.check->stage_started_s, 1);
  for (std::size_t later = state.check->stage + 1; later < stage_list.size(); ++later) {
    stage_list[later]["status"] = "skipped";
    stage_list[later]["reason"] = "check cancelled";
  }
  finish_run(state, *run, "cancelled", now);
  return true;
}

}  // namespace qm::demo
