#include "ui/rail_lines.hpp"

#include <fmt/format.h>

#include "model/capture_node.hpp"
#include "model/problem_list.hpp"
#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "ui/palette.hpp"

namespace qm {

namespace {

void add_health_badges(const AppState& state, std::vector<RailBadge>& badges) {
  const SeverityCounts counts = severity_counts(state.model.problems);
  if (counts.errors > 0) {
    badges.push_back({fmt::format("{}✕", counts.errors), palette::bad});
  }
  if (const std::size_t review = counts.warnings + counts.unknown; review > 0) {
    badges.push_back({fmt::format("{}▲", review), palette::warn});
  }
  if (badges.empty() && !state.baseline_shown()) {
    const bool complete =
        is_string_equal(member_path(state.document(), {"problems", "status"}), "complete");
    badges.push_back(complete ? RailBadge{"✓", palette::ok} : RailBadge{"?", palette::text_muted});
  }
}

// Node entities, leaving out the node the capture registered itself.
std::size_t observed_node_count(const SessionModel& model) {
  std::size_t count = model.node_count;
  if (const auto name = capture_node_name(model)) {
    const Json* entity = find_entity(model, row_id(RowKind::node, *name));
    if (entity != nullptr && is_string_equal(member(*entity, "kind"), "node") && count > 0) {
      --count;
    }
  }
  return count;
}

void add_tf_badge(const AppState& state, std::vector<RailBadge>& badges) {
  const auto frames =
      array_of(member_path(state.model.shown_capture(), {"tf", "multi_parent_frames"}));
  if (frames.has_value() && !frames->empty()) {
    badges.push_back({fmt::format("{}▲", frames->size()), palette::warn});
    return;
  }
  badges.push_back({std::to_string(state.model.tf_rows().size()), palette::text_muted});
}

void add_results_badge(const AppState& state, std::vector<RailBadge>& badges) {
  const auto runs = array_of(member(state.document(), "runs"));
  if (!runs.has_value() || runs->empty()) {
    return;
  }
  bool failed = false;
  bool blocked = false;
  for (const Json& run : *runs) {
    const std::string status = value_display_text(member(run, "status"));
    failed = failed || status == "failed" || status == "error" || status == "fail";
    blocked = blocked || status == "blocked";
  }
  if (failed) {
    badges.push_back({"FAIL", palette::bad});
  } else if (blocked) {
    badges.push_back({"BLK", palette::warn});
  } else {
    badges.push_back({"PASS", palette::ok});
  }
}

void add_playback_badge(const AppState& state, std::vector<RailBadge>& badges) {
  const Json& playback_state = member_path(state.document(), {"runtime", "playback", "state"});
  if (is_string_equal(playback_state, "paused")) {
    badges.push_back({"pause", palette::warn});
  } else if (is_string_equal(playback_state, "playing")) {
    badges.push_back({"play", palette::info});
  }
}

}  // namespace

std::vector<RailBadge> rail_badges(const AppState& state, View view) {
  std::vector<RailBadge> badges;
  switch (view) {
    case View::health:
      add_health_badges(state, badges);
      break;
    case View::topics:
      badges.push_back({std::to_string(state.model.topic_count), palette::text_muted});
      break;
    case View::nodes:
      badges.push_back({std::to_string(observed_node_count(state.model)), palette::text_muted});
      break;
    case View::tf:
      add_tf_badge(state, badges);
      break;
    case View::changes:
      if (const auto changes = array_of(member_path(state.document(), {"comparison", "changes"}));
          changes.has_value() && !changes->empty()) {
        badges.push_back({std::to_string(changes->size()), palette::warn});
      }
      break;
    case View::results:
      add_results_badge(state, badges);
      break;
    case View::playback:
      add_playback_badge(state, badges);
      break;
    case View::graph:
    case View::capture:
    case View::project:
      break;
  }
  return badges;
}

tui::Line rail_heading_line(std::string_view heading) {
  return tui::Line(" " + std::string(heading), tui::fg(palette::text_dim));
}

tui::Line rail_view_line(const AppState& state, View view, bool current, uint16_t width) {
  const std::vector<RailBadge> badges = rail_badges(state, view);
  const std::string label = fmt::format("{} {}", view_key(view), view_name(view));
  std::size_t used = 2 + display_width(label);
  for (const RailBadge& badge : badges) {
    used += display_width(badge.text);
  }
  if (!badges.empty()) {
    used += badges.size() - 1;
  }

  tui::Line line;
  line.push(current ? "›" : " ", current ? tui::fg(palette::accent).bold() : tui::Style{});
  line.push(label, current ? tui::fg(palette::text_bright).bold() : tui::fg(palette::text_base));
  if (used < width) {
    line.push(filler(" ", width - used));
  }
  for (std::size_t i = 0; i < badges.size(); ++i) {
    if (i > 0) {
      line.push(" ");
    }
    line.push(badges[i].text, tui::fg(badges[i].colour));
  }
  return line;
}

}  // namespace qm
