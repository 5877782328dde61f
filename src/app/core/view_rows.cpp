#include "app/core/view_rows.hpp"

#include <fmt/format.h>

#include "ui/text/text.hpp"
#include "ui/text/value_text.hpp"

namespace qm {

namespace {

Row make_row(std::string id, std::string label, const Json& value) {
  Row row;
  row.id = std::move(id);
  row.label = std::move(label);
  row.value = &value;
  return row;
}

void add_health_rows(const SessionModel& model, std::vector<Row>& rows) {
  rows.push_back(make_row("health:summary", "System at a glance", null_json()));
  for (const Json& item : model.problems) {
    const std::string* title = string_of(member(item, "title"));
    rows.push_back(make_row(value_display_text(member(item, "id")),
                            title != nullptr ? display_safe(*title) : "problem", item));
  }
}

void add_entity_rows(const SessionModel& model, std::string_view kind, std::vector<Row>& rows) {
  for (const Json* entity : model.entities) {
    if (is_string_equal(member(*entity, "kind"), kind)) {
      rows.push_back(make_row(value_display_text(member(*entity, "id")),
                              value_display_text(member(*entity, "name")), *entity));
    }
  }
}

void add_change_rows(const SessionModel& model, std::vector<Row>& rows) {
  const Json::array_t* changes = array_of(member_path(model.root(), {"comparison", "changes"}));
  if (changes == nullptr) {
    return;
  }
  for (const Json& change : *changes) {
    std::string label = pad_right(value_display_text(member(change, "status")), 7);
    label += ' ';
    label += value_display_text(member(change, "name"));
    rows.push_back(make_row(value_display_text(member(change, "id")), std::move(label), change));
  }
}

void add_result_rows(const SessionModel& model, std::vector<Row>& rows) {
  const Json::array_t* runs = array_of(member(model.root(), "runs"));
  if (runs == nullptr) {
    return;
  }
  for (std::size_t position = 0; position < runs->size(); ++position) {
    const Json& run = (*runs)[position];
    const std::string key = run_key(run, position);
    rows.push_back(make_row("run:" + key,
                            fmt::format("[{}] {}", value_display_text(member(run, "status")),
                                        value_display_text(member(run, "title"))),
                            run));
    if (const Json::array_t* stages = array_of(member(run, "stages"))) {
      for (std::size_t i = 0; i < stages->size(); ++i) {
        const Json& stage = (*stages)[i];
        rows.push_back(
            make_row(fmt::format("check:{}:{}", key, i),
                     fmt::format("  [{}] {}", value_display_text(member(stage, "status")),
                                 value_display_text(member(stage, "label"))),
                     stage));
      }
    }
  }
}

void add_project_rows(const SessionModel& model, std::vector<Row>& rows) {
  const Json& root = model.root();
  rows.push_back(make_row("project:summary", "Project / saved profile", member(root, "project")));
  const Json& task = member(root, "task");
  if (!task.is_object()) {
    return;
  }
  rows.push_back(make_row("task:history", "Task history / evidence freshness", task));
  const Json::array_t* experiments = array_of(member(task, "experiments"));
  if (experiments == nullptr) {
    return;
  }
  const Json& active = member(root, "active_experiment_id");
  for (const Json& experiment : *experiments) {
    const Json& id = member(experiment, "id");
    const Json& result = member(experiment, "result");
    std::string state =
        result.is_null() ? "planned" : value_display_text(member(result, "outcome"));
    std::string label = fmt::format("{} [{}] {}", !active.is_null() && id == active ? "●" : " ",
                                    state, value_display_text(member(experiment, "hypothesis")));
    rows.push_back(make_row("experiment:" + value_display_text(id), std::move(label), experiment));
  }
}

bool matches_search(const Row& row, std::string_view lowered_search) {
  return lowercase_full(row.label).find(lowered_search) != std::string::npos ||
         lowercase_full(row.id).find(lowered_search) != std::string::npos;
}

bool matches_results_filter(const Row& row, ResultsFilter filter) {
  return filter == ResultsFilter::all ||
         value_display_text(member(*row.value, "status")) == results_filter_name(filter);
}

// Keeps a run row whenever one of the rows under it, up to the next run row, is kept.
std::vector<Row> keep_runs_above_kept_checks(std::vector<Row>& rows,
                                             const std::vector<bool>& kept) {
  std::vector<Row> out;
  std::size_t run_start = 0;
  bool run_pending = false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].id.starts_with("run:")) {
      run_start = i;
      run_pending = !kept[i];
      if (kept[i]) {
        out.push_back(std::move(rows[i]));
      }
      continue;
    }
    if (kept[i]) {
      if (run_pending) {
        out.push_back(std::move(rows[run_start]));
        run_pending = false;
      }
      out.push_back(std::move(rows[i]));
    }
  }
  return out;
}

}  // namespace

std::string run_key(const Json& run, std::size_t position) {
  const std::string* retained = string_of(member(run, "retained_id"));
  return retained != nullptr ? *retained : std::to_string(position);
}

std::vector<Row> build_view_rows(const SessionModel& model, View view, std::string_view search,
                                 ResultsFilter results_filter) {
  std::vector<Row> rows;
  switch (view) {
    case View::health:
      add_health_rows(model, rows);
      break;
    case View::graph:
    case View::topics:
      add_entity_rows(model, "topic", rows);
      break;
    case View::nodes:
      add_entity_rows(model, "node", rows);
      break;
    case View::tf:
      rows = model.tf_rows;
      break;
    case View::changes:
      add_change_rows(model, rows);
      break;
    case View::results:
      add_result_rows(model, rows);
      break;
    case View::playback:
    case View::capture:
      break;
    case View::project:
      add_project_rows(model, rows);
      break;
  }
  const bool results_filtered = view == View::results && results_filter != ResultsFilter::all;
  if (search.empty() && !results_filtered) {
    return rows;
  }
  const std::string lowered = lowercase_full(search);
  std::vector<bool> kept(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    kept[i] = (lowered.empty() || matches_search(rows[i], lowered)) &&
              (view != View::results || matches_results_filter(rows[i], results_filter));
  }
  if (view == View::results) {
    return keep_runs_above_kept_checks(rows, kept);
  }
  std::vector<Row> out;
  out.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (kept[i]) {
      out.push_back(std::move(rows[i]));
    }
  }
  return out;
}

}  // namespace qm
