#include "ui/log_overlay.hpp"

#include <fmt/format.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/launch_log_page.hpp"
#include "model/mode_keys.hpp"
#include "text/text.hpp"
#include "text/value_text.hpp"
#include "tui/block.hpp"
#include "tui/paragraph.hpp"
#include "tui/wrap.hpp"
#include "ui/detail_lines.hpp"
#include "ui/line_style.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette.hpp"
#include "ui/pane_block.hpp"
#include "ui/typing_cursor.hpp"
#include "views/launch_readiness.hpp"

namespace qm {

namespace {

constexpr std::string_view pending = "pending";

// Appends the lines of `text`, each styled by its shape.
void append_styled_text(std::vector<tui::Line>& out, std::string_view text) {
  const DetailText lines(text);
  for (std::size_t i = 0; const auto line = lines.line(i); ++i) {
    out.push_back(style_detail_line(*line, lines.line(i + 1)));
  }
}

// The launch, the search and the page on hand, one line each; the search holds the cursor while
// it is typed.
TypedText summary_text(const LogViewerState& log, const Json& launch, const Json& page,
                       bool current) {
  const auto or_pending = [current](const Json& value) {
    return current ? value_display_text(value) : std::string(pending);
  };
  const Json& summary = member(launch, "log_summary");
  const auto first_error = string_of(member_path(summary, {"first_error", "text"}));
  const auto failures = array_of(member(summary, "child_failures"));
  const auto page_lines = array_of(member(page, "lines"));
  const std::string line_count =
      current ? std::to_string(page_lines ? page_lines->size() : 0) : std::string(pending);

  std::string text = fmt::format(
      "Parent: {} · checks: {} · readiness: {}\n", value_display_text(member(launch, "state")),
      value_display_text(member_path(launch, {"readiness_checks", "status"})),
      readiness_text(launch));
  text += fmt::format("First error: {}\n",
                      first_error ? display_safe(*first_error) : "none identified");
  text += fmt::format("Child failures identified: {} · pattern summary only\n",
                      failures ? failures->size() : 0);
  text += "Search: " + display_safe(log.search_entry ? log.search_input : log.query);
  std::optional<std::size_t> cursor;
  if (log.search_entry) {
    cursor = text.size();
    text += typing_cursor;
  }
  text += fmt::format(" · severity: {} · context: {} · matches: {}\n", display_safe(log.severity),
                      log.context, or_pending(member(page, "matches")));
  text += fmt::format("Page start: {} · page lines: {} · filtered lines: {} · retained lines: {}\n",
                      or_pending(member(page, "start")), line_count,
                      or_pending(member(page, "shown_lines")),
                      or_pending(member(page, "retained_lines")));
  text += fmt::format("Coverage: {}\n", or_pending(member(page, "coverage")));
  text += fmt::format("Source: {}\n", value_display_text(member(launch, "log")));
  text += fmt::format("SHA-256: {} · bytes: {}", value_display_text(member(page, "sha256")),
                      value_display_text(member(page, "bytes")));
  return {std::move(text), cursor};
}

tui::Color severity_colour(const Json& severity) {
  if (is_string_equal(severity, "error")) {
    return palette::bad;
  }
  if (is_string_equal(severity, "warning")) {
    return palette::warn;
  }
  return palette::text_base;
}

// One retained line: its number right-aligned in six columns, then its text in the colour of
// its severity, bold when it matched the search.
tui::Line retained_line(const Json& element) {
  const Json& number = member(element, "number");
  const Json& text = member(element, "text");
  tui::Line line;
  line.push(fmt::format("{:>6}", number.is_number() ? format_number(number) : "0"),
            tui::fg(palette::text_dim));
  line.push("  ");
  tui::Style style = tui::fg(severity_colour(member(element, "severity")));
  if (is_true(member(element, "match"))) {
    style = style.bold();
  }
  // Log lines often hold tabs, which the display text shows as spaces.
  line.push(text.is_string() ? value_display_text(text) : std::string(), style);
  return line;
}

void append_retained_lines(std::vector<tui::Line>& out, const Json& page, bool current) {
  const auto lines = array_of(member(page, "lines"));
  if (current && is_string_equal(member(page, "status"), "unavailable")) {
    out.emplace_back("Retained log read failed: " + value_display_text(member(page, "error")),
                     tui::fg(palette::bad));
  } else if (current && lines) {
    for (const Json& element : *lines) {
      out.push_back(retained_line(element));
    }
  } else {
    out.emplace_back("Loading retained log page…", tui::fg(palette::text_muted));
  }
  if (current && is_true(member(page, "at_end"))) {
    out.emplace_back("End of matching retained lines.", tui::fg(palette::text_muted));
  }
}

// The panel's lines, the first of the page's retained lines, and the line just after them and
// their end note.
struct PanelLines {
  std::vector<tui::Line> lines;
  std::size_t page_begin = 0;
  std::size_t page_end = 0;
};

PanelLines panel_lines(const AppState& state) {
  const Json& launch = member_path(state.document(), {"runtime", "launch"});
  const Json& page = launch_log_page(state.document());
  const bool current = page_matches(state);

  PanelLines out;
  const TypedText summary = summary_text(state.log, launch, page, current);
  append_styled_text(out.lines, summary.text);
  if (summary.cursor) {
    const TextPlace place = place_of(summary.text, *summary.cursor);
    if (place.line < out.lines.size()) {
      paint_cursor(out.lines[place.line], place.offset);
    }
  }
  out.lines.emplace_back(log_legend(), tui::fg(palette::text_muted));
  out.lines.emplace_back();
  out.page_begin = out.lines.size();
  append_retained_lines(out.lines, page, current);
  out.page_end = out.lines.size();
  out.lines.emplace_back();

  std::string checks_text = "DECLARED READINESS CHECKS (observations; attribution unverified)\n";
  const Json& checks = member(launch, "readiness_checks");
  checks_text += checks.is_object() ? outline_text(checks)
                                    : "No declared readiness checks; readiness remains unknown.";
  append_styled_text(out.lines, checks_text);
  return out;
}

// What the bottom border says: that End is on its way through the pages, and that lines wrap.
std::vector<std::string> log_border_notes(const LogViewerState& log) {
  std::vector<std::string> notes;
  if (log.end_follow) {
    notes.emplace_back("…");
  }
  if (log.wrap) {
    notes.emplace_back("wrap");
  }
  return notes;
}

}  // namespace

std::vector<tui::Line> launch_log_lines(const AppState& state) {
  return panel_lines(state).lines;
}

LaunchLogRows launch_log_rows(const AppState& state, bool wrap) {
  const tui::Rect inner = tui::Block{}.inner(log_box(state.frame_area()));
  const PanelLines panel = panel_lines(state);
  LaunchLogRows rows{inner.height, {}, panel.page_begin, panel.page_end};
  rows.starts.reserve(panel.lines.size() + 1);
  std::size_t row = 0;
  for (const tui::Line& line : panel.lines) {
    rows.starts.push_back(row);
    row += wrap ? tui::wrapped_row_count(line.plain(), inner.width) : 1;
  }
  rows.starts.push_back(row);
  return rows;
}

void draw_launch_log(tui::Buffer& buffer, tui::Rect box, const AppState& state) {
  if (box.empty()) {
    return;
  }
  clear_box(buffer, box);
  const tui::Rect inner = draw_panel_frame(buffer, box, " Owned ROS launch log ");
  tui::Paragraph paragraph;
  paragraph.wrap = state.log.wrap ? tui::Wrap::words : tui::Wrap::none;
  paragraph.scroll = state.log.line_scroll;
  paragraph.column_offset = state.log.column_scroll;
  paragraph.render(panel_lines(state).lines, inner, buffer);
  draw_border_notes(buffer, box, log_border_notes(state.log), true);
}

}  // namespace qm
