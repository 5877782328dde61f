#include "views/health_summary.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "model/capture_node.hpp"
#include "model/problem_list.hpp"
#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "views/health_banner.hpp"
#include "views/health_capture.hpp"
#include "views/problem_detail.hpp"

namespace qm {

namespace {

constexpr std::size_t kProcessLimit = 24;
// Room for everything but the rate list, whose lines are the only unbounded part.
constexpr std::size_t kFixedTextBytes = 8192;
// The graph checks a complete run has.
constexpr int kGraphCheckCount = 7;

std::string_view plural(std::size_t count) {
  return count == 1 ? "" : "s";
}

std::size_t array_size(const Json& value) {
  const auto elements = array_of(value);
  return elements.has_value() ? elements->size() : 0;
}

// The value texts of an array's elements joined by `separator`; nothing for any other value.
void append_joined(std::string& out, const Json& array, std::string_view separator) {
  const auto elements = array_of(array);
  if (!elements.has_value()) {
    return;
  }
  bool first = true;
  for (const Json& element : *elements) {
    if (!first) {
      out += separator;
    }
    first = false;
    out += value_display_text(element);
  }
}

// One verdict line, the first that applies: the baseline, errors, items to review, then what the
// graph checks say of themselves.
void append_status_line(std::string& out, const AppState& state, const SeverityCounts& counts) {
  const Json& problems = member(state.document(), "problems");
  const Json& status = member(problems, "status");
  const std::size_t ran = array_size(member(problems, "detectors_run"));
  const std::size_t review = counts.warnings + counts.unknown;
  auto to = std::back_inserter(out);
  if (state.baseline_shown()) {
    out +=
        "Viewing the baseline capture. Problems describe the current capture only; press b to "
        "return.";
  } else if (counts.errors > 0) {
    fmt::format_to(to, "Not ready: {} error{} found. Start with the first problem in the list.",
                   counts.errors, plural(counts.errors));
  } else if (review > 0) {
    fmt::format_to(to, "{} item{} to review; no errors found.", review, plural(review));
  } else if (is_string_equal(status, "complete")) {
    fmt::format_to(to, "No problems found by the {} graph checks that ran on this capture.", ran);
  } else if (is_string_equal(status, "partial")) {
    fmt::format_to(to, "No problems found, but only {} of {} graph checks ran.", ran,
                   kGraphCheckCount);
  } else if (problems.is_object()) {
    fmt::format_to(to, "Graph checks not available: {}.",
                   value_display_text(member(problems, "reason")));
  } else {
    out += "Graph checks not available for this session (it was opened before they existed).";
  }
  out += "\n\n";
}

void append_graph_checks(std::string& out, const Json& problems, const SeverityCounts& counts) {
  if (!problems.is_object()) {
    return;
  }
  fmt::format_to(std::back_inserter(out), "GRAPH CHECKS  {} · {} ran · unresolved: {}\n",
                 value_display_text(member(problems, "status")),
                 array_size(member(problems, "detectors_run")), counts.unknown);
  out += "Not checked: ";
  append_joined(out, member(problems, "not_checked"), ", ");
  out += '\n';
  if (const auto skipped = array_of(member(problems, "skipped")); skipped && !skipped->empty()) {
    out += "Skipped: ";
    bool first = true;
    for (const Json& entry : *skipped) {
      if (!first) {
        out += "; ";
      }
      first = false;
      out += value_display_text(member(entry, "detector"));
      out += " (";
      out += value_display_text(member(entry, "reason"));
      out += ')';
    }
    out += '\n';
  }
  const Json& observer = member(problems, "observer");
  fmt::format_to(std::back_inserter(out),
                 "Capture node: {} ({})\nOne graph snapshot shows likely causes, not proof.\n",
                 value_display_text(member(observer, "node")),
                 value_display_text(member(observer, "source")));
}

void append_declared_checks(std::string& out, const Json& launch) {
  const auto observations = array_of(member_path(launch, {"readiness_checks", "observations"}));
  if (!observations.has_value() || observations->empty()) {
    return;
  }
  out += "\nDECLARED CHECKS\n";
  for (const Json& observation : *observations) {
    out += value_display_text(member(observation, "status"));
    out += "  ";
    const auto topic = string_of(member(observation, "topic"));
    const auto node = string_of(member(observation, "node"));
    out += display_safe(topic.value_or(node.value_or("check")));
    out += '\n';
  }
}

void append_parameters(std::string& out, const Json& parameters) {
  if (!parameters.is_object()) {
    return;
  }
  const auto queried = unsigned_of(member(parameters, "queried"));
  if (!queried.has_value() || *queried == 0) {
    out += "\nPARAMETERS  use_sim_time not read for the nodes in this capture yet\n";
    return;
  }
  fmt::format_to(std::back_inserter(out),
                 "\nPARAMETERS  use_sim_time answered by {} of {} nodes · {}{}\n",
                 value_display_text(member(parameters, "answered")), *queried,
                 value_display_text(member(parameters, "status")),
                 is_true(member(parameters, "truncated")) ? " · more nodes not asked" : "");
}

void append_launch_processes(std::string& out, const Json& processes) {
  const auto list = array_of(member(processes, "processes"));
  if (!list.has_value() || list->empty()) {
    return;
  }
  out += "\nLAUNCH PROCESSES  ";
  out += value_display_text(member(processes, "observed"));
  if (is_true(member(processes, "retained"))) {
    out += " · from the previous run; not verified now";
  }
  out += '\n';
  for (const Json& process : list->first(std::min(list->size(), kProcessLimit))) {
    out += value_display_text(member(process, "state"));
    out += "  ";
    const auto name = string_of(member(process, "name"));
    out += display_safe(name.value_or("?"));
    if (const auto code = integer_of(member(process, "exit_code"))) {
      fmt::format_to(std::back_inserter(out), " · exit {}", *code);
    }
    out += " · attempt ";
    out += value_display_text(member(process, "attempt"));
    if (const auto failures = unsigned_of(member(process, "failure_count"));
        failures.value_or(0) > 0) {
      fmt::format_to(std::back_inserter(out), " · {} failed attempts", *failures);
    }
    out += '\n';
  }
  if (const auto dropped = unsigned_of(member(processes, "dropped_lines"));
      dropped.value_or(0) > 0) {
    fmt::format_to(std::back_inserter(out),
                   "{} launch output lines were dropped; process states may be incomplete\n",
                   *dropped);
  }
}

// Node and topic entities of the catalogue, leaving out every node entity that is the capture
// node itself.
GraphCounts graph_counts(const SessionModel& model) {
  GraphCounts counts{model.node_count, model.topic_count};
  if (const auto name = capture_node_name(model)) {
    const std::string id = row_id(RowKind::node, *name);
    // Node rows carry the value text of each node entity's id.
    const auto& nodes = model.list(ListKind::nodes).rows;
    counts.nodes -= static_cast<std::size_t>(
        std::count_if(nodes.begin(), nodes.end(), [&](const Row& row) { return row.id == id; }));
  }
  return counts;
}

void append_last_result(std::string& out, const Json& runs) {
  const auto list = array_of(runs);
  if (!list.has_value() || list->empty()) {
    return;
  }
  const Json& last = list->front();
  fmt::format_to(std::back_inserter(out), "\nLAST RESULT  {} · {}\n",
                 value_display_text(member(last, "status")),
                 value_display_text(member(last, "title")));
}

}  // namespace

std::string health_summary_text(const AppState& state) {
  const Json& root = state.document();
  const Json& capture = state.model.shown_capture();
  const Json& problems = member(root, "problems");
  const Json& launch = member_path(root, {"runtime", "launch"});
  const SeverityCounts severities = severity_counts(state.model.problems);
  const GraphCounts counts = graph_counts(state.model);

  std::string out;
  out.reserve(kFixedTextBytes + live_rates_bytes(capture));

  append_status_line(out, state, severities);
  append_graph_checks(out, problems, severities);
  append_declared_checks(out, launch);
  append_live_rates(out, capture);
  if (!state.baseline_shown()) {
    append_parameters(out, member(problems, "parameters"));
  }
  append_launch_processes(out, member(launch, "processes"));
  append_tf_frames(out, capture);
  fmt::format_to(std::back_inserter(out),
                 "\nGRAPH COUNTS  {} nodes (capture node excluded) · {} topics · discovery "
                 "completeness unknown\n",
                 counts.nodes, counts.topics);
  append_last_result(out, member(root, "runs"));
  out += '\n';
  append_health_banner(out, state, counts);
  return out;
}

DetailPage health_page(const AppState& state, const Row* row) {
  if (row != nullptr && kind_of(row->id) == RowKind::problem) {
    return {"Problem · y copies the check", problem_detail_text(*row->value)};
  }
  return {"System at a glance", health_summary_text(state)};
}

}  // namespace qm
