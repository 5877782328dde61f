#include "ui/list_rows.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "model/capture_node.hpp"
#include "model/problem_list.hpp"
#include "model/row_id.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "ui/line_style.hpp"
#include "ui/palette.hpp"
#include "ui/styles.hpp"
#include "views/observation_text.hpp"

namespace qm {

namespace {

constexpr std::string_view tree_prefix = "└─ ";
constexpr std::string_view tag_end = "] ";

// Printable ASCII reads the same in its display-safe copy.
bool is_plain_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// The marker of a severity rank: error, warning, unknown, then everything else.
RowMarker severity_marker(int rank) {
  switch (rank) {
    case 0:
      return {"✕", palette::bad};
    case 1:
      return {"▲", palette::warn};
    case 2:
      return {"?", palette::text_muted};
    default:
      return {"·", palette::info};
  }
}

const Json& details_of(const Row& row) {
  return member(*row.value, "details");
}

std::optional<RowMarker> health_marker(const Row& row) {
  if (row.id == health_summary_id) {
    return RowMarker{"≡", palette::accent_soft};
  }
  return severity_marker(severity_rank(*row.value));
}

std::optional<RowMarker> topic_marker(const RowContext& context, const Row& row) {
  std::optional<int> rank;
  for (const FindingTarget& finding : context.findings) {
    if (finding.id() == row.id) {
      rank = std::min(rank.value_or(finding.rank), finding.rank);
    }
  }
  if (rank) {
    return severity_marker(*rank);
  }
  if (name_of(row.id, RowKind::topic) == "/rosout" ||
      name_of(row.id, RowKind::topic) == "/parameter_events") {
    return RowMarker{"·", palette::text_dim};
  }
  const Json& details = details_of(row);
  const std::optional<uint64_t> subscribers = unsigned_of(member(details, "subscriber_count"));
  const bool no_subscriber = subscribers && *subscribers == 0;
  if (const auto publishers = unsigned_of(member(details, "publisher_count"))) {
    if (*publishers == 0 || no_subscriber) {
      return RowMarker{"○", palette::text_dim};
    }
    return RowMarker{"●", palette::ok};
  }
  if (no_subscriber) {
    return RowMarker{"○", palette::text_dim};
  }
  return std::nullopt;
}

bool is_capture_node(const RowContext& context, const Row& row) {
  return context.capture_node_id && row.id == *context.capture_node_id;
}

std::optional<RowMarker> node_marker(const RowContext& context, const Row& row) {
  if (is_capture_node(context, row)) {
    return RowMarker{"·", palette::text_dim};
  }
  const Json& listed = member(details_of(row), "listed");
  if (listed.is_boolean() && !listed.boolean()) {
    return RowMarker{"○", palette::text_dim};
  }
  return RowMarker{"●", palette::ok};
}

// The name of the frame a TF row shows.
std::string frame_name(const Row& row) {
  const Json& frame = member(*row.value, "frame");
  if (frame.is_string()) {
    return value_display_text(frame);
  }
  return std::string(name_of(row.id, RowKind::frame).value_or(row.id));
}

std::optional<RowMarker> frame_marker(const RowContext& context, const Row& row) {
  const std::string name = frame_name(row);
  const auto& frames = context.multi_parent_frames;
  if (std::find(frames.begin(), frames.end(), name) != frames.end()) {
    return RowMarker{"▲", palette::warn};
  }
  return std::nullopt;
}

// The topic's rate text when the shown capture sampled it, else its endpoint counts.
std::optional<std::string> topic_secondary(const RowContext& context, const Row& row) {
  if (const auto topic = name_of(row.id, RowKind::topic)) {
    const Json& rates = member(context.model->shown_capture(), "rates");
    const Json& entry = member(member(rates, "topics"), *topic);
    if (entry.is_object() && !is_string_equal(member(entry, "status"), "not_found") &&
        !is_string_equal(member(entry, "status"), "no_publisher")) {
      return topic_rate_text(entry, rates_window_text(rates));
    }
  }
  const Json& details = details_of(row);
  const auto publishers = unsigned_of(member(details, "publisher_count"));
  const auto subscribers = unsigned_of(member(details, "subscriber_count"));
  if (publishers && subscribers) {
    return fmt::format("{}→{}", *publishers, *subscribers);
  }
  return std::nullopt;
}

// "sim" or "wall" from the node's use_sim_time, "?" while it was asked but not answered, "stale"
// for an answer from an earlier capture.
std::optional<std::string> clock_word(const RowContext& context, std::string_view node) {
  switch (clock_reading(member(context.model->shown_capture(), "graph"), node)) {
    case ClockReading::sim_time:
      return "sim";
    case ClockReading::wall_time:
      return "wall";
    case ClockReading::unanswered:
      return "?";
    case ClockReading::stale:
      return "stale";
    case ClockReading::not_read:
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> node_secondary(const RowContext& context, const Row& row) {
  if (is_capture_node(context, row)) {
    return "capture node";
  }
  const std::optional<std::string_view> name = name_of(row.id, RowKind::node);
  if (!name) {
    return std::nullopt;
  }
  return clock_word(context, *name);
}

std::optional<std::string> frame_secondary(const Row& row) {
  const auto edges = array_of(member(*row.value, "edges"));
  if (!edges.has_value()) {
    return std::nullopt;
  }
  const std::string name = frame_name(row);
  for (const Json& edge : *edges) {
    const Json& child = member(edge, "child");
    if (!child.is_string() || value_display_text(child) != name) {
      continue;
    }
    if (is_true(member(edge, "static"))) {
      return "static";
    }
    if (const auto rate = number_of(member(edge, "rate_hz"))) {
      return format_fixed(*rate, 1) + " Hz";
    }
    return std::nullopt;
  }
  return std::nullopt;
}

// A leading "[word] " stays whole when the label is cut; only the rest is shortened.
std::size_t tag_length(std::string_view label) {
  if (!label.starts_with('[')) {
    return 0;
  }
  const std::size_t end = label.find(tag_end);
  if (end == std::string_view::npos || label.substr(0, end).find(' ') != std::string_view::npos) {
    return 0;
  }
  return end + tag_end.size();
}

// The label in its colours: a tree prefix dim, a leading status word of Changes in its colour and
// every bracketed status token in its colour.
void append_label(tui::Line& line, std::string_view label, View view, tui::Style base) {
  const std::size_t indent = label.find_first_not_of(' ');
  if (indent != std::string_view::npos && label.substr(indent).starts_with(tree_prefix)) {
    const std::size_t prefix = indent + tree_prefix.size();
    line.push(std::string(label.substr(0, prefix)), tui::fg(palette::text_dim));
    label.remove_prefix(prefix);
  }
  if (view == View::changes) {
    const std::string_view word = label.substr(0, label.find(' '));
    if (const auto colour = status_colour(word); colour && !word.empty()) {
      line.push(std::string(word), base.with_fg(*colour).bold());
      label.remove_prefix(word.size());
    }
  }
  if (!label.empty()) {
    append_with_status_tokens(line, label, base);
  }
}

}  // namespace

RowContext row_context(const AppState& state) {
  RowContext context;
  context.view = state.view;
  context.model = &state.model;
  const SessionModel& model = state.model;
  if ((state.view == View::graph || state.view == View::topics) && !model.baseline_shown()) {
    if (const auto findings = array_of(member_path(model.root(), {"problems", "findings"}))) {
      for (const Json& finding : *findings) {
        const auto target = string_of(member(finding, "target"));
        if (!target.has_value() || !member(finding, "severity").is_string()) {
          continue;
        }
        FindingTarget entry{*target, {}, severity_rank(finding)};
        if (!is_plain_ascii(*target)) {
          entry.safe_id = value_display_text(member(finding, "target"));
        }
        context.findings.push_back(std::move(entry));
      }
    }
  }
  if (state.view == View::nodes) {
    if (auto name = capture_node_name(model)) {
      context.capture_node_id = row_id(RowKind::node, *name);
    }
  }
  if (state.view == View::tf) {
    if (const auto frames =
            array_of(member_path(model.shown_capture(), {"tf", "multi_parent_frames"}))) {
      for (const Json& frame : *frames) {
        const Json& name = frame.is_string() ? frame : member(frame, "frame");
        if (name.is_string()) {
          context.multi_parent_frames.push_back(value_display_text(name));
        }
      }
    }
  }
  return context;
}

std::optional<RowMarker> row_marker(const RowContext& context, const Row& row) {
  switch (context.view) {
    case View::health:
      return health_marker(row);
    case View::graph:
    case View::topics:
      return topic_marker(context, row);
    case View::nodes:
      return node_marker(context, row);
    case View::tf:
      return frame_marker(context, row);
    case View::changes:
    case View::results:
    case View::playback:
    case View::capture:
    case View::project:
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> row_secondary_text(const RowContext& context, const Row& row) {
  switch (context.view) {
    case View::health:
      if (row.id != health_summary_id &&
          is_string_equal(member(*row.value, "detector"), "launch")) {
        return "launch";
      }
      return std::nullopt;
    case View::graph:
    case View::topics:
      return topic_secondary(context, row);
    case View::nodes:
      return node_secondary(context, row);
    case View::tf:
      return frame_secondary(row);
    case View::changes:
    case View::results:
    case View::playback:
    case View::capture:
    case View::project:
      return std::nullopt;
  }
  return std::nullopt;
}

RowPieces list_row_pieces(const RowContext& context, const Row& row, bool selected,
                          uint16_t width) {
  const std::optional<RowMarker> marker = row_marker(context, row);
  std::optional<std::string> secondary = row_secondary_text(context, row);
  const std::size_t secondary_width = secondary ? display_width(*secondary) : 0;

  const std::string_view label = row.label;
  const std::size_t tag = tag_length(label);
  const std::size_t tag_width = display_width(label.substr(0, tag));
  const long budget = static_cast<long>(width) - 2 - (marker ? 2 : 0) -
                      (secondary ? static_cast<long>(secondary_width) + 1 : 0) -
                      static_cast<long>(tag_width) - 1;
  const std::size_t room = budget > 0 ? static_cast<std::size_t>(budget) : 0;
  const std::string_view rest = label.substr(tag);
  std::string shown(label.substr(0, tag));
  shown += context.view == View::health ? truncate_end(rest, room) : truncate_middle(rest, room);

  RowPieces pieces;
  tui::Line& line = pieces.head;
  line.push(selected ? "›" : " ", selected ? tui::fg(palette::accent).bold() : tui::Style{});
  line.push(" ");
  if (marker) {
    line.push(std::string(marker->symbol) + " ", tui::fg(marker->colour));
  }
  const tui::Style base =
      selected ? tui::fg(palette::text_bright).bold() : tui::fg(palette::text_base);
  append_label(line, shown, context.view, base);
  if (secondary) {
    pieces.secondary = tui::Span(std::move(*secondary), tui::fg(palette::text_muted));
    pieces.secondary_width = secondary_width;
  }
  return pieces;
}

tui::Line list_row_line(const RowContext& context, const Row& row, bool selected, uint16_t width) {
  RowPieces pieces = list_row_pieces(context, row, selected, width);
  tui::Line line = std::move(pieces.head);
  if (pieces.secondary) {
    const std::size_t used = line.width() + pieces.secondary_width;
    if (used < width) {
      line.push(filler(" ", width - used));
    }
    line.spans.push_back(std::move(*pieces.secondary));
  }
  return line;
}

tui::Line list_row_line(const AppState& state, const Row& row, bool selected, uint16_t width) {
  return list_row_line(row_context(state), row, selected, width);
}

}  // namespace qm
