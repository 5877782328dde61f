#include "ui/help_text.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "model/key_help.hpp"
#include "text/text.hpp"
#include "tui/wrap.hpp"

namespace qm {

namespace {

constexpr std::string_view fixed_sentences =
    "WORKSPACE CONTROLS\n"
    "\n"
    "1–9, 0 select view (1 Health)    [ / ] previous / next view · click a view in the rail\n"
    ": command palette: views, problems, topics, nodes, frames and actions\n"
    "Health: Enter or g goes to the problem's topic or frame; y copies its check command\n"
    "Below 100 columns one pane shows at a time: Tab switches, Esc returns to the list\n"
    "↑ / ↓ or j / k select row; Tab switches navigator/inspector\n"
    "/ search name or typed ID; Enter applies; Esc clears filter\n"
    "Tab, ↑/↓ choose connection; Enter follows; Backspace returns\n"
    "PgUp / PgDn scroll details; Home / End select first / last\n"
    "Graph: ← / → pan long connections\n"
    "b switches baseline/current; Results: s cycles status filter; g runs check; c cancels\n"
    "Topics: i inspects messages; t queries message-time TF\n"
    "Nodes: d compares declared/live parameters\n"
    "Project: r refreshes source; u refreshes task\n"
    "v toggles raw data; e exports selected entity evidence\n"
    "m lists the recent status messages in full, newest first\n"
    "r requests capture refresh; L opens the owned launch log\n"
    "Playback: p starts the configured recording; Space pauses/resumes; x stops\n"
    "q quits UI; it stops a launch started by this invocation, but not a detached owned player\n"
    "\n"
    "Saved sessions remain point-in-time evidence. Live refresh is\n"
    "backend-driven; the terminal does not subscribe to all payloads.\n"
    "\n"
    "Any key closes help.";

// A symbol or short text and what it means; the legends share the look of the key groups.
struct Meaning {
  std::string_view shown;
  std::string_view words;
};

// The markers in front of list rows.
constexpr std::array help_row_markers = {
    Meaning{"≡", "the Health summary"},
    Meaning{"✕", "an error: a problem, or a finding on the topic"},
    Meaning{"▲", "a warning; in TF, a frame with more than one parent"},
    Meaning{"?", "a problem or finding of unknown severity"},
    Meaning{"·", "any other severity; an infrastructure topic; the capture's own node"},
    Meaning{"●", "a topic with publishers and subscribers; a node seen in discovery"},
    Meaning{"○", "a topic missing publishers or subscribers; a node not seen in discovery"},
};

// The texts at the right of topic rows, and of frame rows in TF.
constexpr std::array help_rate_forms = {
    Meaning{"12.5 Hz", "mean rate received at this observer in the last sample"},
    Meaning{"3 in 1 s", "messages received in the sample window, without a rate"},
    Meaning{"limited", "the observer could not measure the topic fully"},
    Meaning{"unknown", "a measurement without a status"},
    Meaning{"other words", "the measurement's status, e.g. type unavailable"},
    Meaning{"15→15", "publishers → subscribers in discovery, when there is no measurement"},
    Meaning{"static", "in TF, a static transform; else its rate in Hz"},
};

constexpr std::string_view entry_indent = "  ";
constexpr std::size_t words_gap = 2;
// Narrower than this, the words are left to the panel's own wrapping.
constexpr std::size_t narrowest_words = 20;

// One line of a group: what is shown on the left and the words after it.
struct HelpLine {
  std::string shown;
  std::string_view words;
};

// Lines of "{shown}{padding}{words}" under `heading`, the words starting in one column; words
// longer than `width` leaves them go on below, in the same column.
void append_group(std::string& out, std::string_view heading, const std::vector<HelpLine>& lines,
                  uint16_t width) {
  std::size_t column = 0;
  for (const HelpLine& line : lines) {
    column = std::max(column, display_width(line.shown));
  }
  const std::size_t words_column = entry_indent.size() + column + words_gap;
  const bool hang = width >= words_column + narrowest_words;
  out += "\n\n";
  out += heading;
  for (const HelpLine& line : lines) {
    out += '\n';
    out += entry_indent;
    out += line.shown;
    out += filler(" ", column - display_width(line.shown) + words_gap);
    if (!hang || words_column + display_width(line.words) <= width) {
      out += line.words;
      continue;
    }
    const auto rows = tui::wrap_rows(line.words, static_cast<uint16_t>(width - words_column));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (i > 0) {
        out += '\n';
        out += filler(" ", words_column);
      }
      out += line.words.substr(rows[i].begin, rows[i].end - rows[i].begin);
    }
  }
}

std::string joined_keys(const HelpEntry& entry) {
  std::string keys;
  for (const std::string_view key : entry.keys) {
    if (!keys.empty()) {
      keys += ' ';
    }
    keys += key;
  }
  return keys;
}

std::vector<HelpLine> legend_lines(std::span<const Meaning> legend) {
  std::vector<HelpLine> lines;
  for (const Meaning& meaning : legend) {
    lines.push_back({std::string(meaning.shown), meaning.words});
  }
  return lines;
}

}  // namespace

std::string_view help_sentences() {
  return fixed_sentences;
}

std::string help_text(View view, uint16_t width) {
  std::string out(fixed_sentences);
  for (const HelpGroup& group : key_help(view)) {
    std::vector<HelpLine> lines;
    for (const HelpEntry& entry : group.entries) {
      lines.push_back({joined_keys(entry), entry.words});
    }
    append_group(out, group.heading, lines, width);
  }
  append_group(out, "ROW MARKERS", legend_lines(help_row_markers), width);
  append_group(out, "RATES BESIDE TOPICS", legend_lines(help_rate_forms), width);
  return out;
}

}  // namespace qm
