#include "model/key_help.hpp"

#include <algorithm>
#include <optional>
#include <span>
#include <utility>

#include "model/key_bindings.hpp"
#include "model/mode_keys.hpp"

namespace qm {

namespace {

// Adds `key` to the entry of `command`, starting one when the command has none yet; the words
// are the first non-empty ones given for the command.
template <class C>
void add_key(std::vector<HelpEntry>& entries, std::vector<C>& commands, C command,
             std::string_view key, std::string_view words) {
  const auto found = std::find(commands.begin(), commands.end(), command);
  const auto index = static_cast<std::size_t>(found - commands.begin());
  if (found == commands.end()) {
    commands.push_back(command);
    entries.push_back(HelpEntry{});
  }
  HelpEntry& entry = entries[index];
  entry.keys.push_back(help_key_name(key));
  if (entry.words.empty()) {
    entry.words = words;
  }
}

// The own bindings of `view`, or those of every view when it is none.
HelpGroup binding_group(std::string heading, std::optional<View> view) {
  HelpGroup group{std::move(heading), {}};
  std::vector<Command> commands;
  for (const KeyBinding& binding : key_bindings()) {
    if (binding.view == view && binding.command != Command::none) {
      add_key(group.entries, commands, binding.command, binding.key, binding.help);
    }
  }
  return group;
}

// A mode's keys; where help gives no words of its own the legend's are used.
template <class C>
HelpGroup mode_group(std::string heading, std::span<const ModeKey<C>> table) {
  HelpGroup group{std::move(heading), {}};
  std::vector<C> commands;
  for (const ModeKey<C>& binding : table) {
    const std::string_view words = binding.help.empty() ? binding.legend : binding.help;
    add_key(group.entries, commands, binding.command, binding.key, words);
  }
  return group;
}

std::string upper_case(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return out;
}

}  // namespace

std::string_view help_key_name(std::string_view key) {
  if (key == "Char") {
    return "typing";
  }
  if (key == "Any") {
    return "other";
  }
  return key;
}

std::vector<HelpGroup> key_help(View view) {
  return {
      binding_group(upper_case(view_name(view)) + " VIEW", view),
      binding_group("EVERY VIEW (a key of the view above comes first)", std::nullopt),
      mode_group("LAUNCH LOG", log_keys()),
      mode_group("LOG SEARCH", log_search_keys()),
      mode_group("COMMAND PALETTE", palette_keys()),
      mode_group("FILTER ENTRY", filter_entry_keys()),
      mode_group("EXPERIMENT FORM", form_keys()),
      mode_group("ASSISTANT PANEL", assistant_keys()),
      mode_group("ASSISTANT PROMPT", prompt_keys()),
      mode_group("HELP AND MESSAGE LOG", reader_keys()),
  };
}

}  // namespace qm
