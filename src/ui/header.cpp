#include "ui/header.hpp"

#include <fmt/format.h>

#include <string>
#include <vector>

#include "model/problem_list.hpp"
#include "model/staleness.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "tui/line.hpp"
#include "ui/palette.hpp"
#include "ui/styles.hpp"

namespace qm {

namespace {

using Group = std::vector<tui::Span>;

constexpr std::string_view brand = " quillmesh ";
constexpr std::size_t capture_label_width = 28;
constexpr std::size_t clock_offset = 11;
constexpr std::size_t clock_length = 8;

bool is_char_boundary(std::string_view text, std::size_t offset) {
  return offset >= text.size() || (static_cast<unsigned char>(text[offset]) & 0xC0) != 0x80;
}

Group mode_group(const Json& root) {
  if (is_string_equal(member(root, "mode"), "live")) {
    return {tui::Span("● LIVE", tui::fg(palette::ok).bold())};
  }
  return {tui::Span("SAVED", tui::fg(palette::text_muted).bold())};
}

Group product_group(const Json& root) {
  return {tui::Span(product_mode_text(root), tui::fg(palette::text_muted))};
}

Group side_group(const AppState& state) {
  const bool baseline = state.baseline_shown();
  const std::string label = truncate_middle(
      value_display_text(member(state.model.shown_capture(), "label")), capture_label_width);
  return {tui::Span(fmt::format("{} [{}]", label, baseline ? "baseline" : "current"),
                    tui::fg(baseline ? palette::warn : palette::text_base))};
}

std::optional<Group> platform_group(const Json& runtime) {
  const Json& distribution = member(runtime, "distribution");
  const Json& domain = member(runtime, "domain_id");
  if (!distribution.is_string() && domain.is_null()) {
    return std::nullopt;
  }
  return Group{tui::Span(
      fmt::format("{} · domain {}", value_display_text(distribution), value_display_text(domain)),
      tui::fg(palette::text_muted))};
}

std::optional<Group> launch_group(const Json& runtime) {
  const Json& launch = member(runtime, "launch");
  if (!launch.is_object()) {
    return std::nullopt;
  }
  const std::string state = value_display_text(member(launch, "state"));
  const tui::Color colour = status_colour(state).value_or(palette::text_base);
  return Group{tui::Span("launch ", tui::fg(palette::text_muted)),
               tui::Span(state, tui::fg(colour))};
}

std::optional<Group> problems_group(const AppState& state) {
  if (state.baseline_shown()) {
    return std::nullopt;
  }
  const SeverityCounts counts = severity_counts(state.model.problems);
  const std::size_t review = counts.warnings + counts.unknown;
  if (counts.errors == 0 && review == 0) {
    return std::nullopt;
  }
  Group group;
  if (counts.errors > 0) {
    group.emplace_back(fmt::format("{}✕", counts.errors), tui::fg(palette::bad).bold());
  }
  if (counts.errors > 0 && review > 0) {
    group.emplace_back(" ");
  }
  if (review > 0) {
    group.emplace_back(fmt::format("{}▲", review), tui::fg(palette::warn).bold());
  }
  return group;
}

// The update time; with its age in the warn colour once a live document went unrewritten too long.
std::optional<Group> updated_group(const AppState& state, const Json& runtime) {
  const auto updated = string_of(member(runtime, "updated_at"));
  if (!updated.has_value() || updated->size() < clock_offset + clock_length ||
      !is_char_boundary(*updated, clock_offset) ||
      !is_char_boundary(*updated, clock_offset + clock_length)) {
    return std::nullopt;
  }
  const std::string clock = display_safe(updated->substr(clock_offset, clock_length));
  if (const std::optional<std::string> age = stale_age_text(state)) {
    return Group{tui::Span(fmt::format("updated {} · {}", clock, *age), tui::fg(palette::warn))};
  }
  return Group{tui::Span("updated " + clock, tui::fg(palette::text_dim))};
}

std::vector<Group> header_groups(const AppState& state) {
  const Json& root = state.document();
  const Json& runtime = member(root, "runtime");
  std::vector<Group> groups{mode_group(root), product_group(root), side_group(state)};
  for (auto group : {platform_group(runtime), launch_group(runtime), problems_group(state),
                     updated_group(state, runtime)}) {
    if (group) {
      groups.push_back(std::move(*group));
    }
  }
  return groups;
}

std::size_t group_width(const Group& group) {
  std::size_t width = 0;
  for (const tui::Span& piece : group) {
    width += display_width(piece.content);
  }
  return width;
}

}  // namespace

std::string_view product_mode_text(const Json& document) {
  return is_string_equal(member(document, "product_mode"), "ai-assisted") ? "AI-assisted"
                                                                          : "Standard";
}

void draw_header(tui::Buffer& buffer, tui::Rect row, const AppState& state) {
  if (row.empty()) {
    return;
  }
  buffer.set_style(row, tui::bg(palette::bg_bar));
  tui::Line line;
  line.push(std::string(brand), tui::fg(palette::accent_soft).bold());
  std::size_t used = brand.size();
  for (Group& group : header_groups(state)) {
    const std::size_t width = group_width(group);
    if (used + width + 3 > row.width) {
      break;
    }
    line.push("│ ", tui::fg(palette::rule));
    for (tui::Span& piece : group) {
      line.spans.push_back(std::move(piece));
    }
    line.push(" ");
    used += width + 3;
  }
  buffer.set_line(row.x, row.y, line, row.width);

  const std::string status =
      value_display_text(member_path(state.document(), {"runtime", "status"})) + " ";
  const std::size_t status_width = display_width(status);
  if (row.width >= used + status_width + 2) {
    buffer.set_string(static_cast<uint16_t>(row.right() - status_width), row.y, status,
                      tui::fg(palette::text_dim));
  }
}

}  // namespace qm
