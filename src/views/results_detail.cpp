#include "views/results_detail.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "json/json_edit.hpp"
#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

constexpr std::size_t label_columns = 18;
constexpr double bar_blocks = 14;

enum class StageClass : unsigned char { passed, failed, blocked, skipped, other };

StageClass stage_class(const Json& stage) {
  std::string status = value_display_text(member(stage, "status"));
  for (char& c : status) {
    c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  if (status == "pass" || status == "passed") {
    return StageClass::passed;
  }
  if (status == "fail" || status == "failed" || status == "error") {
    return StageClass::failed;
  }
  if (status == "blocked") {
    return StageClass::blocked;
  }
  if (status == "skip" || status == "skipped") {
    return StageClass::skipped;
  }
  return StageClass::other;
}

// A stage's bar against the longest stage: the longest gets all 14 blocks and any stage that took
// time at least one, so short stages stay visible.
std::size_t bar_length(double duration, double longest) {
  if (!(duration > 0)) {
    return 0;
  }
  if (duration >= longest) {
    return static_cast<std::size_t>(bar_blocks);
  }
  const double blocks = std::round(duration / longest * bar_blocks);
  return blocks >= 1 ? static_cast<std::size_t>(blocks) : 1;
}

void append_check(std::string& out, const Json& document) {
  out += "CONFIGURED CHECK  ·  g run  ·  c cancel\n";
  const Json& check = member_path(document, {"runtime", "check"});
  if (check.is_null()) {
    out += "No check configured. Supply a check command when launching the workspace.";
  } else {
    out += outline_text(check, 0);
  }
  out += "\n\n";
}

void append_durations(std::string& out, std::span<const Json> stages) {
  double longest = 0;
  for (const Json& stage : stages) {
    if (const auto duration = number_of(member(stage, "duration_s"))) {
      longest = std::max(longest, *duration);
    }
  }
  if (!(longest > 0)) {
    return;
  }
  out += "\nRECORDED DURATIONS (per stage, not a timeline)\n";
  for (const Json& stage : stages) {
    out += value_display_text(member(stage, "status"));
    out += "  ";
    out += pad_right(truncate_middle(value_display_text(member(stage, "label")), label_columns),
                     label_columns);
    const auto duration = number_of(member(stage, "duration_s"));
    if (!duration || !(*duration >= 0)) {
      out += "        — \n";
      continue;
    }
    // Adding zero shows a negative zero as "0.00".
    const std::string seconds = format_fixed(*duration + 0.0, 2);
    out.append(1 + (seconds.size() < 8 ? 8 - seconds.size() : 0), ' ');
    out += seconds;
    out += " s ";
    out += filler("█", bar_length(*duration, longest));
    out += '\n';
  }
}

void append_verdict(std::string& out, const Json& run) {
  const std::span<const Json> stages =
      array_of(member(run, "stages")).value_or(std::span<const Json>{});
  std::size_t counts[4] = {};
  for (const Json& stage : stages) {
    const StageClass kind = stage_class(stage);
    if (kind != StageClass::other) {
      ++counts[static_cast<std::size_t>(kind)];
    }
  }
  out += "VERDICT  " + value_display_text(member(run, "status")) + " · " +
         std::to_string(stages.size()) + " stages: " + std::to_string(counts[0]) + " passed, " +
         std::to_string(counts[1]) + " failed, " + std::to_string(counts[2]) + " blocked, " +
         std::to_string(counts[3]) + " skipped\n";
  append_durations(out, stages);
  out += '\n';
}

// The row's own record; its raw evidence and stages are shown elsewhere.
void append_record(std::string& out, const Row& row) {
  std::vector<JsonMember> without_raw;
  std::vector<JsonMember> without_stages;
  const Json trimmed = with_member(with_member(*row.value, "raw", std::nullopt, without_raw),
                                   "stages", std::nullopt, without_stages);
  out += row.label;
  out += "\n\n";
  out += outline_text(trimmed, 0);
  out += "\nv toggles raw evidence. Paths are displayed, never executed.";
}

}  // namespace

DetailPage results_page(const AppState& state, const Row* row) {
  const std::string_view id = row != nullptr ? row->id : std::string_view{};
  std::string text;
  append_check(text, state.document());
  if (kind_of(id) == RowKind::run) {
    append_verdict(text, *row->value);
  }
  if (row != nullptr) {
    append_record(text, *row);
  } else {
    text += "No result files supplied. Add result files when launching the workspace.";
  }
  if (kind_of(id) == RowKind::run) {
    return {"Run", std::move(text)};
  }
  if (kind_of(id) == RowKind::check) {
    return {"Stage", std::move(text)};
  }
  return {inspector_title, std::move(text)};
}

}  // namespace qm
