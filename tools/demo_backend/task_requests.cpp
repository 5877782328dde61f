#include "task_requests.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <charconv>

#include "stable_numbers.hpp"

namespace qm::demo {

namespace {

using nlohmann::json;

constexpr std::array<std::string_view, 5> outcomes = {"supported", "refuted", "inconclusive",
                                                      "failed", "interrupted"};

json* task_of(DemoState& state) {
  json& task = state.document["task"];
  if (!task.is_object()) {
    report(state, "No task", "No development task is attached to this session");
    return nullptr;
  }
  if (!task["experiments"].is_array()) {
    task["experiments"] = json::array();
  }
  if (!task["events"].is_array()) {
    task["events"] = json::array();
  }
  return &task;
}

json* experiment_named(json& task, std::string_view id) {
  for (json& experiment : task["experiments"]) {
    if (experiment.value("id", "") == id) {
      return &experiment;
    }
  }
  return nullptr;
}

void note_event(json& task, const Instant& now, std::string_view kind, std::string text) {
  task["events"].push_back(
      {{"at", iso_utc(now.wall_s)}, {"kind", kind}, {"text", std::move(text)}});
  task["updated_at"] = iso_utc(now.wall_s);
}

int next_experiment_number(const json& task) {
  int highest = 0;
  for (const json& experiment : task["experiments"]) {
    const std::string id = experiment.value("id", "");
    int number = 0;
    if (id.starts_with("exp-") &&
        std::from_chars(id.data() + 4, id.data() + id.size(), number).ec == std::errc()) {
      highest = std::max(highest, number);
    }
  }
  return highest + 1;
}

std::string trimmed_lower(std::string text) {
  const auto first = text.find_first_not_of(" \t");
  const auto last = text.find_last_not_of(" \t");
  text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return text;
}

// The key of a run as the Results view names it: its retained id, or its position.
std::string run_key(const json& runs, std::size_t index) {
  const json& run = runs[index];
  return run.contains("retained_id") && run["retained_id"].is_string()
             ? run["retained_id"].get<std::string>()
             : std::to_string(index);
}

}  // namespace

void handle_plan_experiment(DemoState& state, const Request& request, const Instant& now) {
  json* task = task_of(state);
  if (task == nullptr) {
    return;
  }
  const auto hypothesis = text_member(request.body, "hypothesis");
  const auto variables = request.body.find("variables");
  if (!hypothesis || variables == request.body.end() || !variables->is_object()) {
    report(state, "Experiment not planned",
           "Planning needs a hypothesis and variables as a JSON object");
    return;
  }
  const std::string id = fmt::format("exp-{}", next_experiment_number(*task));
  (*task)["experiments"].push_back(
      {{"created_at", iso_utc(now.wall_s)},
       {"criteria_identity", text_member(request.body, "criteria_identity").value_or("")},
       {"hypothesis", *hypothesis},
       {"id", id},
       {"linked_results", json::array()},
       {"prediction", text_member(request.body, "prediction").value_or("")},
       {"result", nullptr},
       {"test", text_member(request.body, "test").value_or("")},
       {"variables", *variables}});
  note_event(*task, now, "experiment", fmt::format("Planned {}: {}", id, *hypothesis));
  report(state, "Experiment planned",
         fmt::format("Planned {}; Enter on its row makes it active", id));
}

void handle_finish_experiment(DemoState& state, const Request& request, const Instant& now) {
  json* task = task_of(state);
  if (task == nullptr) {
    return;
  }
  const std::string id = text_member(request.body, "experiment_id", 256).value_or("");
  json* experiment = experiment_named(*task, id);
  const std::string outcome = trimmed_lower(text_member(request.body, "outcome", 64).value_or(""));
  if (experiment == nullptr) {
    report(state, "Conclusion not recorded", fmt::format("No experiment {} in the task", id));
    return;
  }
  if (std::find(outcomes.begin(), outcomes.end(), outcome) == outcomes.end()) {
    report(state, "Conclusion not recorded",
           "Outcome must be supported, refuted, inconclusive, failed or interrupted");
    return;
  }
  const json& linked = (*experiment)["linked_results"];
  (*experiment)["result"] = {
      {"concluded_at", iso_utc(now.wall_s)},
      {"conclusion", text_member(request.body, "conclusion").value_or("")},
      {"evidence", linked.is_array() && !linked.empty() ? linked.back() : json(nullptr)},
      {"outcome", outcome}};
  note_event(*task, now, "conclusion", fmt::format("{} {}", id, outcome));
  report(state, "Conclusion recorded", fmt::format("Recorded {}: {}", id, outcome));
}

void handle_select_experiment(DemoState& state, const Request& request, const Instant&) {
  json* task = task_of(state);
  if (task == nullptr) {
    return;
  }
  const std::string id = text_member(request.body, "experiment_id", 256).value_or("");
  if (experiment_named(*task, id) == nullptr) {
    report(state, "Experiment not selected", fmt::format("No experiment {} in the task", id));
    return;
  }
  state.document["active_experiment_id"] = id;
  report(state, "Experiment selected", fmt::format("{} is the active experiment", id));
}

void handle_attach_experiment(DemoState& state, const Request& request, const Instant& now) {
  json* task = task_of(state);
  if (task == nullptr) {
    return;
  }
  const json& runs = state.document["runs"];
  const auto index = unsigned_member(request.body, "result_index");
  const json& active = state.document["active_experiment_id"];
  json* experiment =
      active.is_string() ? experiment_named(*task, active.get<std::string>()) : nullptr;
  if (!index || !runs.is_array() || *index >= runs.size()) {
    report(state, "Result not attached", "Select a recorded result to attach");
    return;
  }
  if (experiment == nullptr) {
    report(state, "Result not attached", "Select an experiment in the Project view first");
    return;
  }
  const std::string key = run_key(runs, *index);
  json& linked = (*experiment)["linked_results"];
  if (!linked.is_array()) {
    linked = json::array();
  }
  const std::string id = (*experiment)["id"].get<std::string>();
  if (std::find(linked.begin(), linked.end(), json(key)) == linked.end()) {
    linked.push_back(key);
    note_event(*task, now, "evidence", fmt::format("Attached {} to {}", key, id));
  }
  report(state, "Result attached", fmt::format("{} is linked to {}", key, id));
}

void handle_experiment_results(DemoState& state, const Request& request, const Instant&) {
  json* task = task_of(state);
  if (task == nullptr) {
    return;
  }
  const std::string id = text_member(request.body, "experiment_id", 256).value_or("");
  const json* experiment = experiment_named(*task, id);
  if (experiment == nullptr) {
    report(state, "No results", fmt::format("No experiment {} in the task", id));
    return;
  }
  const json linked = experiment->value("linked_results", json::array());
  if (linked.empty() || !linked.back().is_string()) {
    report(state, "No results", fmt::format("{} has no linked results yet; a attaches one", id));
    return;
  }
  std::string names;
  for (const json& result : linked) {
    names += (names.empty() ? "" : ", ") + result.get<std::string>();
  }
  state.document["result_selection"] = "run:" + linked.back().get<std::string>();
  report(state, "Experiment results", fmt::format("{} links {}", id, names));
}

void handle_recover_experiments(DemoState& state, const Request&, const Instant& now) {
  json* task = task_of(state);
  if (task == nullptr) {
    return;
  }
  // A run that finished since an experiment linked it is final evidence for it.
  std::size_t recovered = 0;
  for (json& experiment : (*task)["experiments"]) {
    if (!experiment["result"].is_null()) {
      continue;
    }
    for (const json& link : experiment.value("linked_results", json::array())) {
      for (const json& run : state.document["runs"]) {
        if (link.is_string() && run.value("retained_id", "") == link.get<std::string>() &&
            run.contains("finished_at")) {
          experiment["final_evidence"] = {{"result", link}, {"status", run["status"]}};
          ++recovered;
        }
      }
    }
  }
  for (json& check : (*task)["artifact_checks"]) {
    check["checked_at"] = iso_utc(now.wall_s);
  }
  note_event(*task, now, "recovery",
             fmt::format("Recovered final evidence of {} linked results", recovered));
  report(state, "Experiments recovered",
         fmt::format("Recovered final evidence of {} linked results; artifacts checked again",
                     recovered));
}

void handle_refresh_task(DemoState& state, const Request&, const Instant& now) {
  json* task = task_of(state);
  if (task == nullptr) {
    return;
  }
  for (json& check : (*task)["artifact_checks"]) {
    check["checked_at"] = iso_utc(now.wall_s);
  }
  (*task)["updated_at"] = iso_utc(now.wall_s);
  report(state, "Task refreshed",
         fmt::format("Task {} read again from {}", task->value("id", "?"),
                     state.document.value("task_path", "the task file")));
}

}  // namespace qm::demo
