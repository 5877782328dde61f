#include "input/clipboard.hpp"

#include <fmt/format.h>

#include "text/text.hpp"

namespace qm {

void offer_to_clipboard(AppState& state, std::string text, std::string_view what,
                        std::string_view fallback) {
  // Pasted into a shell without bracketed paste, every line would run at once.
  if (text.find('\n') != std::string::npos) {
    state.status = fmt::format("The {} spans several lines; copy it from {}", what, fallback);
    return;
  }
  state.status = fmt::format(
      "Copied to the terminal clipboard: {} (if your terminal blocks OSC 52, copy it from {})",
      text, fallback);
  state.outbox.clipboard = std::move(text);
}

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
  offer_to_clipboard(state, display_safe(*verify), "check command", "the inspector");
}

}  // namespace qm
