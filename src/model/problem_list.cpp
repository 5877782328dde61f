#include "model/problem_list.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>

#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

constexpr std::string_view launch_verify = "L opens the retained launch log";

// Collects the problems of the launch, made in the model's arena.
class LaunchProblems {
 public:
  LaunchProblems(std::vector<Json>& out, JsonArena& arena) : out_(out), builder_(arena) {}

  void add(std::string_view id, std::string_view severity, std::string_view title,
           std::string_view evidence, std::string_view text) {
    builder_.add("id", id)
        .add("detector", "launch")
        .add("severity", severity)
        .add("title", title)
        .add("evidence", evidence)
        .add("text", text)
        .add("verify", launch_verify);
    out_.push_back(builder_.object());
  }

  // A problem whose id ends in the hash of its text.
  void add_hashed(std::string_view kind, std::string_view severity, std::string_view title,
                  std::string_view evidence, std::string_view text) {
    add(row_id(RowKind::problem, fmt::format("launch:{}:{}", kind, fnv1a_hex(text))), severity,
        title, evidence, text);
  }

 private:
  std::vector<Json>& out_;
  JsonBuilder builder_;
};

std::string safe_string_or(const Json& value, std::string_view fallback) {
  const auto text = string_of(value);
  return text ? display_safe(*text) : std::string(fallback);
}

void add_parent_problem(const Json& launch, LaunchProblems& out) {
  const Json& state = member(launch, "state");
  const Json& returncode = member(launch, "returncode");
  const std::optional<int64_t> rc = integer_of(returncode);
  if (is_string_equal(state, "failed")) {
    std::string title = rc ? fmt::format("Launch failed with exit code {}", *rc) : "Launch failed";
    out.add_hashed("state", "error", title, "process state",
                   fmt::format("Parent launch state: failed; return code: {}",
                               value_display_text(returncode)));
  } else if (is_string_equal(state, "exited")) {
    if (rc && *rc != 0) {
      out.add_hashed("state", "error", fmt::format("Launch exited with code {}", *rc),
                     "process state", fmt::format("Parent launch exited with return code {}", *rc));
    } else {
      out.add_hashed(
          "state", "info", "Launch exited with code 0", "process state",
          "The parent launch process exited normally; nodes it started are no longer owned.");
    }
  }
}

void add_process_problems(const Json& launch, LaunchProblems& out,
                          std::vector<int64_t>& failed_pids) {
  const Json& processes = member(launch, "processes");
  const auto entries = array_of(member(processes, "processes"));
  if (!entries) {
    return;
  }
  const bool retained = is_true(member(processes, "retained"));
  for (const Json& entry : *entries) {
    const auto failures = array_of(member(entry, "failures"));
    if (!failures || failures->empty()) {
      continue;
    }
    for (const Json& failure : *failures) {
      if (const auto pid = integer_of(member(failure, "pid"))) {
        failed_pids.push_back(*pid);
      }
    }
    const std::string name = safe_string_or(member(entry, "name"), "process");
    const Json& last = failures->back();
    const Json& state = member(entry, "state");
    std::string_view after;
    if (is_string_equal(state, "finished")) {
      after = ", later finished cleanly";
    } else if (is_string_equal(state, "running")) {
      after = ", respawned and running";
    }
    const std::string exit_code = value_display_text(member(last, "exit_code"));
    std::string title = fmt::format("Process {} exited with code {}{}{}", name, exit_code, after,
                                    retained ? " (previous run)" : "");
    std::string text = fmt::format(
        "{}: {} failed attempts; last exit code {} (attempt {}, pid {}). Current state: {}.", name,
        value_display_text(member(entry, "failure_count")), exit_code,
        value_display_text(member(last, "attempt")), value_display_text(member(last, "pid")),
        value_display_text(state));
    out.add(row_id(RowKind::problem, fmt::format("launch:process:{}", name)), "error", title,
            retained ? "process state from the previous run; not verified now"
                     : "process state (launch log lines)",
            text);
  }
}

bool names_failed_pid(std::string_view text, const std::vector<int64_t>& failed_pids) {
  return std::any_of(failed_pids.begin(), failed_pids.end(),
                     [&](int64_t pid) { return contains(text, fmt::format("[pid {},", pid)); });
}

void add_log_problems(const Json& launch, LaunchProblems& out,
                      const std::vector<int64_t>& failed_pids) {
  const Json& summary = member(launch, "log_summary");
  std::vector<std::string> kept;
  if (const auto failures = array_of(member(summary, "child_failures"))) {
    for (const Json& failure : *failures) {
      std::string text = safe_string_or(member(failure, "text"), "");
      if (!names_failed_pid(text, failed_pids)) {
        kept.push_back(text);
      }
    }
  }
  if (const auto first = string_of(member_path(summary, {"first_error", "text"}))) {
    std::string text = display_safe(*first);
    if (!names_failed_pid(text, failed_pids) &&
        std::find(kept.begin(), kept.end(), text) == kept.end()) {
      std::string title = "First error in launch log: " + truncate_middle(text, 80);
      out.add_hashed("first-error", "error", title, "log pattern", text);
    }
  }
  for (std::string& text : kept) {
    std::string title = "Launch child failure: " + truncate_middle(text, 80);
    out.add_hashed("child", "error", title, "log pattern", text);
  }
}

void add_declared_check_problems(const Json& launch, LaunchProblems& out) {
  const auto observations = array_of(member_path(launch, {"readiness_checks", "observations"}));
  if (!observations) {
    return;
  }
  for (const Json& observation : *observations) {
    const Json& status = member(observation, "status");
    if (!is_string_equal(status, "error") && !is_string_equal(status, "timed_out") &&
        !is_string_equal(status, "failed")) {
      continue;
    }
    std::string label;
    if (const auto topic = string_of(member(observation, "topic"))) {
      label = display_safe(*topic);
    } else if (const auto node = string_of(member(observation, "node"))) {
      label = display_safe(*node);
    } else {
      label = "declared check";
    }
    std::string title = fmt::format("Declared check {}: {}", *string_of(status), label);
    std::string text = fmt::format("{} · attempts: {} · last error: {}", label,
                                   value_display_text(member(observation, "attempts")),
                                   value_display_text(member(observation, "last_error")));
    out.add_hashed("check", "error", title, "declared check", text);
  }
}

}  // namespace

std::string fnv1a_hex(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001b3ULL;
  }
  return fmt::format("{:016x}", hash);
}

int severity_rank(const Json& item) {
  const auto severity = string_of(member(item, "severity"));
  if (!severity) {
    return 4;
  }
  if (*severity == "error")
    return 0;
  if (*severity == "warning")
    return 1;
  if (*severity == "unknown")
    return 2;
  if (*severity == "info")
    return 3;
  return 4;
}

std::vector<Json> problem_list(const Json& document, JsonArena& arena) {
  std::vector<Json> problems;
  LaunchProblems launch_problems(problems, arena);
  const Json& launch = member_path(document, {"runtime", "launch"});
  if (launch.is_object()) {
    std::vector<int64_t> failed_pids;
    add_parent_problem(launch, launch_problems);
    add_process_problems(launch, launch_problems, failed_pids);
    add_log_problems(launch, launch_problems, failed_pids);
    add_declared_check_problems(launch, launch_problems);
  }
  if (const auto findings = array_of(member_path(document, {"problems", "findings"}))) {
    for (const Json& finding : *findings) {
      if (finding.is_object()) {
        problems.push_back(finding);
      }
    }
  }
  std::stable_sort(problems.begin(), problems.end(), [](const Json& a, const Json& b) {
    return severity_rank(a) < severity_rank(b);
  });
  return problems;
}

SeverityCounts severity_counts(const std::vector<Json>& problems) {
  SeverityCounts counts;
  for (const Json& item : problems) {
    const auto severity = string_of(member(item, "severity"));
    if (!severity)
      continue;
    if (*severity == "error")
      ++counts.errors;
    if (*severity == "warning")
      ++counts.warnings;
    if (*severity == "unknown")
      ++counts.unknown;
  }
  return counts;
}

}  // namespace qm
