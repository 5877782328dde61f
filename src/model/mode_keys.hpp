#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/key_bindings.hpp"
#include "tui/events.hpp"

namespace qm {

// One key of a mode other than the normal one: the key (named as `key_matches` reads it, or
// "Char" for any typed character), what it does, and how the mode's legend shows it: the keys as
// the legend names them and the words after them (both empty when the legend leaves it out, as
// for a second key of the same entry), the legend line it belongs to, and the words help gives it
// when they differ from the legend's.
template <class Command>
struct ModeKey {
  std::string_view key;
  Command command;
  std::string_view legend_keys = {};
  std::string_view legend = {};
  int line = 0;
  std::string_view help = {};
};

// The command of the first binding that `key` matches, if any.
template <class Command>
std::optional<Command> command_for(std::span<const ModeKey<Command>> table,
                                   const tui::KeyEvent& key) {
  for (const ModeKey<Command>& binding : table) {
    const bool matches =
        binding.key == "Char" ? key.code == tui::KeyCode::character : key_matches(binding.key, key);
    if (matches) {
      return binding.command;
    }
  }
  return std::nullopt;
}

// The legend of a table: "{keys} {words}" of each binding it shows, joined by `separator`, and
// a line feed where the legend line changes.
template <class Command>
std::string legend_text(std::span<const ModeKey<Command>> table, std::string_view separator) {
  std::string text;
  int line = 0;
  bool first = true;
  for (const ModeKey<Command>& binding : table) {
    if (binding.legend_keys.empty()) {
      continue;
    }
    if (!first) {
      text += binding.line != line ? std::string_view("\n") : separator;
    }
    first = false;
    line = binding.line;
    text += binding.legend_keys;
    text += ' ';
    text += binding.legend;
  }
  return text;
}

// The keys of a text being typed: characters, Backspace, Enter and Esc.
enum class EntryCommand : unsigned char { type, erase, submit, cancel };

// Help and the message log: texts to read, scrolled by lines and pages, closed by any other key.
enum class ReaderCommand : unsigned char { line_up, line_down, page_up, page_down, close };

enum class LogCommand : unsigned char {
  pan_left,
  pan_right,
  previous_page,
  next_page,
  scroll_down,
  scroll_up,
  refresh,
  severity_all,
  severity_error,
  severity_warning,
  toggle_context,
  full_log,
  search,
  copy_line,
  close,
  first_page,
  last_page,
  toggle_wrap,
};

enum class PaletteCommand : unsigned char { type, erase, up, down, run, close };

enum class AssistantCommand : unsigned char {
  scroll_up,
  scroll_down,
  scroll_top,
  close,
  connect,
  compose,
  approve,
  deny,
  cancel,
  toggle_enabled,
  setup_subscription,
  login,
  account,
  models,
  probe,
  acquire_worker,
  checkpoint,
  resume,
  next_connection,
  attach_selection,
  raw_evidence,
  raw_state,
};

// The rate history panel: a cursor over the samples, closed by Esc or the key that opened it.
enum class RateHistoryCommand : unsigned char { older, newer, close };

std::span<const ModeKey<ReaderCommand>> reader_keys();
std::span<const ModeKey<EntryCommand>> filter_entry_keys();
std::span<const ModeKey<LogCommand>> log_keys();
std::span<const ModeKey<EntryCommand>> log_search_keys();
std::span<const ModeKey<PaletteCommand>> palette_keys();
std::span<const ModeKey<EntryCommand>> form_keys();
std::span<const ModeKey<AssistantCommand>> assistant_keys();
std::span<const ModeKey<EntryCommand>> prompt_keys();
std::span<const ModeKey<RateHistoryCommand>> rate_history_keys();

// The legends drawn inside the panels, made from the tables.
std::string log_legend();
std::string palette_legend();
std::string form_legend();
std::string assistant_legend();
std::string prompt_legend();
std::string rate_history_legend();

}  // namespace qm
