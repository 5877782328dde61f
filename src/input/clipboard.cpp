#include "input/clipboard.hpp"

#include "text/text.hpp"

namespace qm {

void copy_check_command(AppState& state) {
  const Row* row = state.selected_row();
  const auto verify = row != nullptr ? string_of(member(*row->value, "verify")) : std::nullopt;
  if (!verify) {
    state.status = "Select a problem to copy its check command";
    return;
  }
  if (is_string_equal(member(*row->value, "detector"), "launch")) {
    state.status = "Press L to open the retained launch log";
    return;
  }
  std::string command = display_safe(*verify);
  // Pasted into a shell without bracketed paste, every line would run at once.
  if (command.find('\n') != std::string::npos) {
    state.status = "The check command spans several lines; copy it from the inspector";
    return;
  }
  state.status = "Copied to the terminal clipboard: " + command +
                 " (if your terminal blocks OSC 52, copy it from the inspector)";
  state.outbox.clipboard = std::move(command);
}

}  // namespace qm
