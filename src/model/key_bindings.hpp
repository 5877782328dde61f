#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "model/view.hpp"
#include "tui/events.hpp"

namespace qm {

// What a key of the normal mode does.
enum class Command : unsigned char {
  none,
  quit,
  go_back,
  follow,
  move_up,
  move_down,
  pan,
  first_row,
  last_row,
  scroll_up,
  scroll_down,
  toggle_focus,
  previous_view,
  next_view,
  escape,
  select_view,
  filter,
  palette,
  help,
  assistant,
  launch_log,
  switch_side,
  export_entity,
  refresh,
  raw_view,
  message_log,
  copy_name,
  // Keys of one view.
  go_to_problem,
  copy_check,
  inspect,
  message_tf,
  config_diff,
  cycle_status,
  attach,
  run_check,
  cancel_check,
  pause_or_resume,
  play,
  stop,
  seek,
  seek_start,
  select_experiment,
  plan_experiment,
  conclude_experiment,
  experiment_results,
  recover_experiments,
  refresh_task,
  cycle_order,
  rate_history,
};

// One key of the normal mode: where it works (one view, or every view when `view` is empty),
// the key as the footer shows it, the footer's label for it (empty when the footer does not show
// it there), the command palette's label (empty when the palette does not offer it), what it
// does, and the words help gives it (empty for a second key of the command just before it). The key
// names a key code ("Enter", "Bksp", "Space", "←/→" for both arrows, …), "0…9" for any digit, or
// one character.
struct KeyBinding {
  std::optional<View> view;
  std::string_view key;
  std::string_view footer_label;
  std::string_view palette_label;
  Command command;
  std::string_view help = {};
};

// Every binding; a view's own bindings come before the bindings of every view they override.
std::span<const KeyBinding> key_bindings();

// Whether `key` is a press of the key that `name` names (modifiers are not looked at); "Any"
// names every key.
bool key_matches(std::string_view name, const tui::KeyEvent& key);

// The binding of `key` in `view`: the view's own first, then one of every view.
std::optional<KeyBinding> binding_for(View view, const tui::KeyEvent& key);

// The footer's hints of `view`, in order (its own, then those of every view).
std::vector<KeyBinding> footer_bindings(View view);
// The global hints that end every footer.
std::vector<KeyBinding> global_footer_bindings();
// The commands the palette offers, in order.
std::vector<KeyBinding> palette_bindings();

}  // namespace qm
