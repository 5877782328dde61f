#include "model/key_bindings.hpp"

#include <array>

#include "base/unicode.hpp"

namespace qm {

namespace {

using C = Command;

// The views' own bindings come first, each view's in the order of its footer hints; then the
// bindings of every view, ordered so that the footer's global hints and the palette's commands
// each keep their own order.
constexpr std::array bindings = {
    KeyBinding{View::health, "Enter", "go to", "", C::go_to_problem,
               "goes to the problem's topic or frame, or opens a launch problem's log"},
    KeyBinding{View::health, "y", "copy check", "", C::copy_check,
               "copies the problem's check command"},
    KeyBinding{View::health, "L", "launch log", "", C::launch_log, "opens the owned launch log"},
    KeyBinding{View::health, "r", "refresh", "", C::refresh, "requests a capture refresh"},
    KeyBinding{View::health, "g", "", "", C::go_to_problem},

    KeyBinding{View::graph, "Enter", "follow", "", C::follow,
               "follows the connection under the cursor"},
    KeyBinding{View::graph, "Bksp", "back", "", C::go_back, "goes back to the previous place"},
    KeyBinding{View::graph, "←/→", "pan", "", C::pan, "pans long connection lines"},
    KeyBinding{View::graph, "e", "export", "", C::export_entity,
               "exports the selected entity's evidence"},
    KeyBinding{View::graph, "h", "", "", C::rate_history,
               "shows the selected topic's rate over time against its declared bounds"},

    KeyBinding{View::topics, "Enter", "follow", "", C::follow,
               "follows the connection under the cursor"},
    KeyBinding{View::topics, "i", "inspect", "", C::inspect, "samples the topic's messages"},
    KeyBinding{View::topics, "t", "message TF", "", C::message_tf, "queries message-time TF"},
    KeyBinding{View::topics, "e", "export", "", C::export_entity,
               "exports the selected entity's evidence"},
    KeyBinding{View::topics, "s", "", "", C::cycle_order, "cycles the list's order"},
    KeyBinding{View::topics, "h", "", "", C::rate_history,
               "shows the topic's rate over time against its declared bounds"},

    KeyBinding{View::nodes, "Enter", "follow", "", C::follow,
               "follows the connection under the cursor"},
    KeyBinding{View::nodes, "d", "param diff", "", C::config_diff,
               "compares declared and live parameters"},
    KeyBinding{View::nodes, "e", "export", "", C::export_entity,
               "exports the selected entity's evidence"},
    KeyBinding{View::nodes, "s", "", "", C::cycle_order, "cycles the list's order"},

    KeyBinding{View::tf, "e", "export", "", C::export_entity,
               "exports the selected frame's evidence"},
    KeyBinding{View::tf, "b", "baseline", "", C::switch_side,
               "switches between baseline and current capture"},

    KeyBinding{View::changes, "b", "baseline", "", C::switch_side,
               "switches between baseline and current capture"},
    KeyBinding{View::changes, "e", "export", "", C::export_entity,
               "exports the selected change's evidence"},
    KeyBinding{View::changes, "Enter", "", "", C::none},

    KeyBinding{View::results, "s", "status", "", C::cycle_status, "cycles the status filter"},
    KeyBinding{View::results, "g", "run check", "", C::run_check, "runs the configured check"},
    KeyBinding{View::results, "c", "cancel", "", C::cancel_check, "cancels the running check"},
    KeyBinding{View::results, "a", "attach", "", C::attach,
               "attaches the selected result to the active experiment"},

    KeyBinding{View::playback, "p", "play", "", C::play, "plays the configured recording"},
    KeyBinding{View::playback, "Space", "pause", "", C::pause_or_resume, "pauses or resumes"},
    KeyBinding{View::playback, "←/→", "seek", "", C::seek, "seeks 5 s back or forward"},
    KeyBinding{View::playback, "x", "stop", "", C::stop, "stops the owned player"},
    KeyBinding{View::playback, "Home", "", "", C::seek_start, "seeks to the start"},

    KeyBinding{View::capture, "e", "export", "", C::export_entity,
               "exports an entity selected in Graph, Topics, Nodes, TF or Changes"},
    KeyBinding{View::capture, "v", "raw", "", C::raw_view, "toggles the capture's raw evidence"},

    KeyBinding{View::project, "n", "plan", "", C::plan_experiment, "plans an experiment"},
    KeyBinding{View::project, "f", "conclude", "", C::conclude_experiment,
               "records a conclusion using the latest linked evidence"},
    KeyBinding{View::project, "g", "run", "", C::run_check, "runs the configured check"},
    KeyBinding{View::project, "u", "task", "", C::refresh_task, "refreshes the task"},
    KeyBinding{View::project, "Enter", "", "", C::select_experiment, "selects the experiment"},
    KeyBinding{View::project, "c", "", "", C::cancel_check, "cancels the running check"},
    KeyBinding{View::project, "o", "", "", C::experiment_results,
               "opens the experiment's evidence in Results"},
    KeyBinding{View::project, "R", "", "", C::recover_experiments, "recovers final evidence"},

    KeyBinding{std::nullopt, "r", "", "Refresh the capture", C::refresh,
               "requests a refresh (of the sources in Project)"},
    KeyBinding{std::nullopt, "L", "", "Open the launch log", C::launch_log,
               "opens the owned launch log"},
    KeyBinding{std::nullopt, "b", "", "Switch baseline / current", C::switch_side,
               "switches between baseline and current capture"},
    KeyBinding{std::nullopt, ":", "command", "", C::palette, "opens the command palette"},
    KeyBinding{std::nullopt, "/", "filter", "", C::filter, "filters the list by name or typed ID"},
    KeyBinding{std::nullopt, "Tab", "pane", "", C::toggle_focus,
               "switches between list and detail pane"},
    KeyBinding{std::nullopt, "m", "messages", "", C::message_log,
               "lists the recent status messages in full"},
    KeyBinding{std::nullopt, "?", "keys", "Show all keys", C::help, "shows this help"},
    KeyBinding{std::nullopt, "A", "", "Open the assistant", C::assistant,
               "opens the assistant panel"},
    KeyBinding{std::nullopt, "v", "", "Toggle raw evidence", C::raw_view, "toggles raw evidence"},
    KeyBinding{std::nullopt, "e", "", "Export the selected entity", C::export_entity,
               "exports the selected entity's evidence"},
    KeyBinding{std::nullopt, "q", "quit", "Quit", C::quit, "quits"},
    KeyBinding{std::nullopt, "Bksp", "", "", C::go_back, "goes back to the previous place"},
    KeyBinding{std::nullopt, "Enter", "", "", C::follow, "follows the connection under the cursor"},
    KeyBinding{std::nullopt, "↑", "", "", C::move_up, "moves the selection up"},
    KeyBinding{std::nullopt, "k", "", "", C::move_up},
    KeyBinding{std::nullopt, "↓", "", "", C::move_down, "moves the selection down"},
    KeyBinding{std::nullopt, "j", "", "", C::move_down},
    KeyBinding{std::nullopt, "Home", "", "", C::first_row, "selects the first row"},
    KeyBinding{std::nullopt, "End", "", "", C::last_row, "selects the last row"},
    KeyBinding{std::nullopt, "PgUp", "", "", C::scroll_up, "scrolls the detail pane up"},
    KeyBinding{std::nullopt, "PgDn", "", "", C::scroll_down, "scrolls the detail pane down"},
    KeyBinding{std::nullopt, "BackTab", "", "", C::previous_view, "shows the previous view"},
    KeyBinding{std::nullopt, "Esc", "", "", C::escape,
               "clears the filter; below 100 columns returns to the list first"},
    KeyBinding{std::nullopt, "0…9", "", "", C::select_view,
               "selects a view: 1 Health … 9 Capture, 0 Project"},
    KeyBinding{std::nullopt, "[", "", "", C::previous_view},
    KeyBinding{std::nullopt, "]", "", "", C::next_view, "shows the next view"},
    KeyBinding{std::nullopt, "y", "", "", C::copy_name,
               "copies the selected name or id to the terminal clipboard"},
};

struct NamedCode {
  std::string_view name;
  tui::KeyCode code;
};

constexpr std::array named_codes = {
    NamedCode{"Enter", tui::KeyCode::enter},    NamedCode{"Bksp", tui::KeyCode::backspace},
    NamedCode{"Tab", tui::KeyCode::tab},        NamedCode{"BackTab", tui::KeyCode::back_tab},
    NamedCode{"Esc", tui::KeyCode::escape},     NamedCode{"↑", tui::KeyCode::up},
    NamedCode{"↓", tui::KeyCode::down},         NamedCode{"Home", tui::KeyCode::home},
    NamedCode{"End", tui::KeyCode::end},        NamedCode{"PgUp", tui::KeyCode::page_up},
    NamedCode{"PgDn", tui::KeyCode::page_down}, NamedCode{"←", tui::KeyCode::left},
    NamedCode{"→", tui::KeyCode::right},
};

}  // namespace

std::span<const KeyBinding> key_bindings() {
  return bindings;
}

bool key_matches(std::string_view name, const tui::KeyEvent& key) {
  if (name == "Any") {
    return true;
  }
  if (name == "←/→") {
    return key.code == tui::KeyCode::left || key.code == tui::KeyCode::right;
  }
  for (const NamedCode& named : named_codes) {
    if (named.name == name) {
      return key.code == named.code;
    }
  }
  if (key.code != tui::KeyCode::character) {
    return false;
  }
  if (name == "0…9") {
    return key.character >= U'0' && key.character <= U'9';
  }
  if (name == "Space") {
    return key.character == U' ';
  }
  const base::DecodedChar decoded = base::decode_utf8(name, 0);
  return decoded.length == name.size() && decoded.value == key.character;
}

std::optional<KeyBinding> binding_for(View view, const tui::KeyEvent& key) {
  for (const bool own : {true, false}) {
    for (const KeyBinding& binding : bindings) {
      if ((own ? binding.view == view : !binding.view) && key_matches(binding.key, key)) {
        return binding;
      }
    }
  }
  return std::nullopt;
}

std::vector<KeyBinding> footer_bindings(View view) {
  std::vector<KeyBinding> out;
  for (const KeyBinding& binding : bindings) {
    if (binding.view == view && !binding.footer_label.empty()) {
      out.push_back(binding);
    }
  }
  return out;
}

std::vector<KeyBinding> global_footer_bindings() {
  std::vector<KeyBinding> out;
  for (const KeyBinding& binding : bindings) {
    if (!binding.view && !binding.footer_label.empty()) {
      out.push_back(binding);
    }
  }
  return out;
}

std::vector<KeyBinding> palette_bindings() {
  std::vector<KeyBinding> out;
  for (const KeyBinding& binding : bindings) {
    if (!binding.palette_label.empty()) {
      out.push_back(binding);
    }
  }
  return out;
}

}  // namespace qm
