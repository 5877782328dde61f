#include "views/project_detail.hpp"

#include <algorithm>

#include "model/row_id.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

constexpr std::size_t recent_event_count = 10;

std::string header_text(const Json& document) {
  return "PROJECT / EXPERIMENTS\nActive experiment: " +
         value_display_text(member(document, "active_experiment_id")) + "\nConfigured check: " +
         value_display_text(member_path(document, {"runtime", "check", "status"})) +
         "\nEnter selects · n plans · g runs configured check · c cancels\n"
         "f records conclusion using latest linked evidence · o opens evidence\n"
         "u refreshes task · R recovers final evidence · r refreshes sources\n\n";
}

std::string evidence_freshness(const Json& task) {
  return "\nEvidence freshness\n" + outline_text(member(task, "artifact_checks"));
}

std::string experiment_body(const Json& document, const Row* row) {
  return (row != nullptr ? outline_text(*row->value) : std::string()) +
         evidence_freshness(member(document, "task")) +
         "\nResults: a attaches the selected result to the active experiment.\n"
         "Conclusions remain user interpretations. Each check keeps its start-time binding.";
}

std::string task_text(const Json& task) {
  if (task.is_null()) {
    return "No development task attached. Supply --task when opening the workspace.\n";
  }
  std::string out = "DEVELOPMENT TASK · u refreshes saved progress\n" +
                    value_display_text(member(task, "title")) +
                    "\nStatus: " + value_display_text(member(task, "status")) +
                    "\nNext step: " + value_display_text(member(task, "next_step")) +
                    "\nUpdated: " + value_display_text(member(task, "updated_at")) +
                    "\n\nRECENT PROGRESS (last 10 events)\n";
  const auto events = array_of(member(task, "events")).value_or(std::span<const Json>{});
  for (const Json& event : events.last(std::min(events.size(), recent_event_count))) {
    out += value_display_text(member(event, "at")) + " · " +
           value_display_text(member(event, "kind")) + " · " +
           value_display_text(member(event, "text")) + "\n";
    const Json& artifact = member(event, "artifact");
    if (!artifact.is_null()) {
      out += "  Evidence: " + value_display_text(member(artifact, "path")) + "\n";
    }
  }
  out += "\nFull history remains in the task file; progress is not behavioral assurance.\n";
  return out;
}

std::string project_body(const Json& document) {
  return task_text(member(document, "task")) + "SAVED PROFILE / SETUP\n" +
         outline_text(member(document, "profile")) + "\nSOURCE INVENTORY\n" +
         outline_text(member(document, "project")) +
         "\nSource declarations are candidates; unresolved runtime relationships remain "
         "explicit.";
}

}  // namespace

DetailPage project_page(const AppState& state, const Row* row) {
  const Json& document = state.document();
  std::string text = header_text(document);
  const std::string_view id = state.selected_id;
  if (const auto name = name_of(id, RowKind::experiment); name && !name->empty()) {
    text += experiment_body(document, row);
  } else if (id == task_history_id) {
    const Json& task = member(document, "task");
    text += "FULL TASK HISTORY\n" + outline_text(member(task, "events")) + evidence_freshness(task);
  } else {
    text += project_body(document);
  }
  return {inspector_title, std::move(text)};
}

}  // namespace qm
