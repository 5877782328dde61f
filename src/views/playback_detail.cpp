#include "views/playback_detail.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "text/text.hpp"
#include "text/value_text.hpp"

namespace qm {

namespace {

constexpr std::size_t bar_cells = 47;
constexpr std::size_t strip_cells = 48;
constexpr std::size_t name_columns = 22;
constexpr std::size_t gaps_per_topic = 3;
// A zero or negative length still places the marker: any position past the start fills the bar.
constexpr double shortest_recording_s = 0.000000001;

// How many of the 47 cells before the marker are filled; positions outside the recording clamp.
std::size_t filled_cells(double position, double total) {
  const double filled = std::round(position / std::max(total, shortest_recording_s) * bar_cells);
  if (!(filled > 0)) {
    return 0;
  }
  return filled >= bar_cells ? bar_cells : static_cast<std::size_t>(filled);
}

void append_position(std::string& out, const Json& playback) {
  const auto total = number_of(member_path(playback, {"recording", "duration_s"}));
  const auto position = number_of(member(playback, "position_s"));
  const Json& note = member_path(playback, {"position", "note"});
  if (total && position) {
    const std::size_t filled = filled_cells(*position, *total);
    out += "POSITION  ≈ " + format_fixed(*position, 1) + " s of " + format_fixed(*total, 1) +
           " s · estimated\n";
    out += filler("─", filled);
    out += "●";
    out += filler("─", bar_cells - filled);
    out += '\n';
    out += value_display_text(note);
    out += '\n';
  } else if (is_string_equal(member_path(playback, {"position", "basis"}), "unknown")) {
    out += "POSITION  unknown · " + value_display_text(note) + "\n";
  }
}

bool present(const Json& bin) {
  const auto count = unsigned_of(bin);
  return count && *count > 0;
}

// Every topic's bins split the whole recording evenly, so every strip is 48 cells wide and cell a
// stands for the same stretch of time on every lane. A cell covers the bins that start within it,
// or, when bins are wider than cells, the bin its start falls in; it shows "█" when any of them
// holds a message. A topic without bins has no messages: its lane is all "·". Every bin is looked
// at most once.
void append_strip(std::string& out, const Json& bins_value) {
  const std::span<const Json> bins = array_of(bins_value).value_or(std::span<const Json>{});
  const std::uint64_t count = bins.size();
  const std::uint64_t cells = strip_cells;
  for (std::uint64_t cell = 0; cell < cells; ++cell) {
    const std::uint64_t first = cell * count / cells;
    const std::uint64_t end = std::min(count, std::max((cell + 1) * count / cells, first + 1));
    bool any = false;
    for (std::uint64_t i = first; i < end && !any; ++i) {
      any = present(bins[i]);
    }
    out += any ? "█" : "·";
  }
}

void append_gap(std::string& out, std::string_view name, const Json& gap) {
  out += name;
  out += "  ";
  out += format_fixed(number_of(member(gap, "start_s")).value_or(0), 2);
  out += "–";
  out += format_fixed(number_of(member(gap, "end_s")).value_or(0), 2);
  out += " s (";
  out += value_display_text(member(gap, "kind"));
  out += ")\n";
}

// The lanes read from the message indexes: one strip per topic, then their first gaps.
void append_indexed_lanes(std::string& out, const Json& playback, const Json& lanes) {
  const double total = number_of(member_path(playback, {"recording", "duration_s"})).value_or(0);
  out += "\nLANES  from the recording's message indexes · " +
         value_display_text(member(lanes, "files")) + " files · " + format_fixed(total, 1) + " s\n";
  std::string gap_lines;
  for (const Json& topic : array_of(member(lanes, "topics")).value_or(std::span<const Json>{})) {
    const std::string name =
        truncate_middle(value_display_text(member(topic, "topic")), name_columns);
    out += pad_right(name, name_columns);
    out += ' ';
    append_strip(out, member(topic, "bins"));
    out += ' ';
    out += value_display_text(member(topic, "count"));
    out += '\n';
    const std::span<const Json> gaps =
        array_of(member(topic, "gaps")).value_or(std::span<const Json>{});
    for (const Json& gap : gaps.first(std::min(gaps.size(), gaps_per_topic))) {
      append_gap(gap_lines, name, gap);
    }
  }
  const auto omitted = unsigned_of(member(lanes, "omitted_topics"));
  if (omitted && *omitted > 0) {
    out += "… " + std::to_string(*omitted) + " more topics not shown\n";
  }
  if (!gap_lines.empty()) {
    out += "\nGAPS  " + value_display_text(member(lanes, "gap_rule")) + "\n";
    out += gap_lines;
  }
}

void append_lanes(std::string& out, const Json& playback) {
  const Json& lanes = member(playback, "lanes");
  const auto method = string_of(member(lanes, "method"));
  if (!method) {
    return;
  }
  const std::string reason = value_display_text(member(lanes, "reason"));
  if (*method == "chunk-coverage") {
    out += "\nLANES  per-topic lanes unknown: " + reason + "\n";
  } else if (*method == "message-index") {
    append_indexed_lanes(out, playback, lanes);
  } else {
    out += "\nLANES  " + reason + "\n";
  }
}

void append_player(std::string& out, const Json& document, const Json& playback) {
  const Json& error = member_path(document, {"runtime", "error"});
  out += "RECORDING PLAYBACK\n\n";
  out += "State       " + value_display_text(member(playback, "state")) + "\n";
  out += "Recording   " + value_display_text(member(playback, "bag")) + "\n";
  out += "Owned       " + value_display_text(member(playback, "owned")) + "\n";
  out += "Available   " + value_display_text(member_path(document, {"capabilities", "playback"})) +
         "\n\n";
  out +=
      "p  Start configured recording\n"
      "Space  Pause / resume owned player\n"
      "x  Stop owned player\n"
      "r  Refresh captures\n\n";
  out += value_display_text(member(document, "notice"));
  out += "\n\nBackend error\n";
  out += error.is_null() ? std::string("none") : value_display_text(error);
  out += "\n\nPlayer log\n";
  out += outline_text(member(playback, "log_tail"), 0);
  out +=
      "\nPlayback commands are explicit requests to the backend.\n"
      "Only its owned player is controlled. Captures are observations;\n"
      "refresh updates graph and TF, not arbitrary message payloads.";
}

}  // namespace

DetailPage playback_page(const AppState& state) {
  const Json& document = state.document();
  const Json& playback = member_path(document, {"runtime", "playback"});
  std::string text;
  append_position(text, playback);
  if (is_true(member(playback, "seek"))) {
    text += "Seek: ←/→ moves 5 s, Home returns to the start\n";
  }
  append_lanes(text, playback);
  if (!text.empty()) {
    text += '\n';
  }
  append_player(text, document, playback);
  return {view_name(View::playback), std::move(text)};
}

}  // namespace qm
