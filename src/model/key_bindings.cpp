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
    KeyBinding{View::health, "Enter", "go to", "", C::go_to_problem},
    KeyBinding{View::health, "y", "copy check", "", C::copy_check},
    KeyBinding{View::health, "L", "launch log", "", C::launch_log},
    KeyBinding{View::health, "r", "refresh", "", C::refresh},
    KeyBinding{View::health, "g", "", "", C::go_to_problem},

    KeyBinding{View::graph, "Enter", "follow", "", C::follow},
    KeyBinding{View::graph, "Bksp", "back", "", C::go_back},
    KeyBinding{View::graph, "←/→", "pan", "", C::pan},
    KeyBinding{View::graph, "e", "export", "", C::export_entity},
    KeyBinding{View::graph, "h", "", "", C::rate_history,
               "shows the selected topic's rate over time against its declared bounds"},

    KeyBinding{View::topics, "Enter", "follow", "", C::follow},
    KeyBinding{View::topics, "i", "inspect", "", C::inspect},
    KeyBinding{View::topics, "t", "message TF", "", C::message_tf},
    KeyBinding{View::topics, "e", "export", "", C::export_entity},
    KeyBinding{View::topics, "h", "", "", C::rate_history,
               "shows the topic's rate over time against its declared bounds"},

    KeyBinding{View::nodes, "Enter", "follow", "", C::follow},
    KeyBinding{View::nodes, "d", "param diff", "", C::config_diff},
    KeyBinding{View::nodes, "e", "export", "", C::export_entity},

    KeyBinding{View::tf, "e", "export", "", C::export_entity},
    KeyBinding{View::tf, "b", "baseline", "", C::switch_side},

    KeyBinding{View::changes, "b", "baseline", "", C::switch_side},
    KeyBinding{View::changes, "e", "export", "", C::export_entity},
    KeyBinding{View::changes, "Enter", "", "", C::none},

    KeyBinding{View::results, "s", "status", "", C::cycle_status},
    KeyBinding{View::results, "g", "run check", "", C::run_check},
    KeyBinding{View::results, "c", "cancel", "", C::cancel_check},
    KeyBinding{View::results, "a", "attach", "", C::attach},

    KeyBinding{View::playback, "p", "play", "", C::play},
    KeyBinding{View::playback, "Space", "pause", "", C::pause_or_resume},
    KeyBinding{View::playback, "←/→", "seek", "", C::seek},
    KeyBinding{View::playback, "x", "stop", "", C::stop},
    KeyBinding{View::playback, "Home", "", "", C::seek_start},

    KeyBinding{View::capture, "e", "export", "", C::export_entity},
    KeyBinding{View::capture, "v", "raw", "", C::raw_view},

    KeyBinding{View::project, "n", "plan", "", C::plan_experiment},
    KeyBinding{View::project, "f", "conclude", "", C::conclude_experiment},
    KeyBinding{View::project, "g", "run", "", C::run_check},
    KeyBinding{View::project, "u", "task", "", C::refresh_task},
    KeyBinding{View::project, "Enter", "", "", C::select_experiment},
    KeyBinding{View::project, "c", "", "", C::cancel_check},
    KeyBinding{View::project, "o", "", "", C::experiment_results},
    KeyBinding{View::project, "R", "", "", C::recover_experiments},

    KeyBinding{std::nullopt, "r", "", "Refresh the capture", C::refresh},
    KeyBinding{std::nullopt, "L", "", "Open the launch log", C::launch_log},
    KeyBinding{std::nullopt, "b", "", "Switch baseline / current", C::switch_side},
    KeyBinding{std::nullopt, ":", "command", "", C::palette},
    KeyBinding{std::nullopt, "/", "filter", "", C::filter},
    KeyBinding{std::nullopt, "Tab", "pane", "", C::toggle_focus},
    KeyBinding{std::nullopt, "m", "messages", "", C::message_log},
    KeyBinding{std::nullopt, "?", "keys", "Show all keys", C::help},
    KeyBinding{std::nullopt, "A", "", "Open the assistant", C::assistant},
    KeyBinding{std::nullopt, "v", "", "Toggle raw evidence", C::raw_view},
    KeyBinding{std::nullopt, "e", "", "Export the selected entity", C::export_entity},
    KeyBinding{std::nullopt, "q", "quit", "Quit", C::quit},
    KeyBinding{std::nullopt, "Bksp", "", "", C::go_back},
    KeyBinding{std::nullopt, "Enter", "", "", C::follow},
    KeyBinding{std::nullopt, "↑", "", "", C::move_up},
    KeyBinding{std::nullopt, "k", "", "", C::move_up},
    KeyBinding{std::nullopt, "↓", "", "", C::move_down},
    KeyBinding{std::nullopt, "j", "", "", C::move_down},
    KeyBinding{std::nullopt, "Home", "", "", C::first_row},
    KeyBinding{std::nullopt, "End", "", "", C::last_row},
    KeyBinding{std::nullopt, "PgUp", "", "", C::scroll_up},
    KeyBinding{std::nullopt, "PgDn", "", "", C::scroll_down},
    KeyBinding{std::nullopt, "BackTab", "", "", C::previous_view},
    KeyBinding{std::nullopt, "Esc", "", "", C::escape},
    KeyBinding{std::nullopt, "0…9", "", "", C::select_view},
    KeyBinding{std::nullopt, "[", "", "", C::previous_view},
    KeyBinding{std::nullopt, "]", "", "", C::next_view},
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
