#include "ui/header.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "model/problem_list.hpp"
#include "model/staleness.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "tui/line.hpp"
#include "ui/importance_fit.hpp"
#include "ui/palette.hpp"
#include "ui/styles.hpp"

namespace qm {

namespace {

using Group = std::vector<tui::Span>;

enum class Part : unsigned char { mode, product, side, platform, launch, problems, updated };

// Which groups a narrow header keeps longest: what is wrong and how fresh the picture is, then
// whether it is live and which capture it shows, then the launch, the platform and the product.
constexpr std::array importance = {Part::problems, Part::updated,  Part::mode,   Part::side,
                                   Part::launch,   Part::platform, Part::product};

std::size_t rank_of(Part part) {
  return static_cast<std::size_t>(std::ranges::find(importance, part) - importance.begin());
}

struct HeaderGroup {
  Part part;
  Group pieces;
};

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

std::vector<HeaderGroup> header_groups(const AppState& state) {
  const Json& root = state.document();
  const Json& runtime = member(root, "runtime");
  std::vector<HeaderGroup> groups{{Part::mode, mode_group(root)},
                                  {Part::product, product_group(root)},
                                  {Part::side, side_group(state)}};
  std::array optional_groups = {std::pair{Part::platform, platform_group(runtime)},
                                std::pair{Part::launch, launch_group(runtime)},
                                std::pair{Part::problems, problems_group(state)},
                                std::pair{Part::updated, updated_group(state, runtime)}};
  for (auto& [part, group] : optional_groups) {
    if (group) {
      groups.push_back({part, std::move(*group)});
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

// Each group takes its width and three columns: the rule before it and the space after.
constexpr std::size_t group_frame = 3;

struct FittedGroups {
  std::vector<bool> kept;
  // The brand and the kept groups.
  std::size_t width = 0;
};

// The most important groups that fit in `row_width` columns after the brand.
FittedGroups fit_groups(const std::vector<HeaderGroup>& groups, std::size_t row_width) {
  std::vector<std::size_t> widths;
  std::vector<std::size_t> ranks;
  for (const HeaderGroup& group : groups) {
    widths.push_back(group_width(group.pieces) + group_frame);
    ranks.push_back(rank_of(group.part));
  }
  const auto width_of = [&](const std::vector<bool>& kept) {
    std::size_t used = brand.size();
    for (std::size_t i = 0; i < kept.size(); ++i) {
      used += kept[i] ? widths[i] : 0;
    }
    return used;
  };
  std::vector<bool> kept = keep_most_important(
      ranks, [&](const std::vector<bool>& candidate) { return width_of(candidate) <= row_width; });
  const std::size_t width = width_of(kept);
  return {std::move(kept), width};
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
  std::vector<HeaderGroup> groups = header_groups(state);
  const FittedGroups fitted = fit_groups(groups, row.width);
  for (std::size_t i = 0; i < groups.size(); ++i) {
    if (!fitted.kept[i]) {
      continue;
    }
    line.push("│ ", tui::fg(palette::rule));
    for (tui::Span& piece : groups[i].pieces) {
      line.spans.push_back(std::move(piece));
    }
    line.push(" ");
  }
  buffer.set_line(row.x, row.y, line, row.width);

  const std::string status =
      value_display_text(member_path(state.document(), {"runtime", "status"})) + " ";
  const std::size_t status_width = display_width(status);
  if (row.width >= fitted.width + status_width + 2) {
    buffer.set_string(static_cast<uint16_t>(row.right() - status_width), row.y, status,
                      tui::fg(palette::text_dim));
  }
}

}  // namespace qm
