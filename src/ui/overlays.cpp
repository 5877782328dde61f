#include "ui/overlays.hpp"

#include <string>
#include <string_view>

#include "ui/assistant_overlay.hpp"
#include "ui/detail_lines.hpp"
#include "ui/experiment_form.hpp"
#include "ui/log_overlay.hpp"
#include "ui/message_log_overlay.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette_overlay.hpp"
#include "ui/pane_block.hpp"
#include "ui/rate_history_overlay.hpp"

namespace qm {

namespace {

// The keys are fixed text, not read from the key table: help explains them in sentences.
constexpr std::string_view help_text =
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

bool any_overlay_open(const AppState& state) {
  return state.help_open || state.log.open || state.messages.open || state.rate_panel.has_value() ||
         state.form.has_value() || state.assistant.open || state.palette.has_value();
}

}  // namespace

ScrollExtent help_extent(tui::Rect area) {
  return text_extent(help_text, help_box(area).inner(1), Wrapping::words);
}

void draw_overlays(tui::Buffer& buffer, const AppState& state) {
  if (!any_overlay_open(state)) {
    return;
  }
  const tui::Rect area = buffer.area();
  dim_below_header(buffer, area);
  if (state.help_open) {
    draw_text_panel(buffer, help_box(area), " Help ", help_text, DetailLines::Styling::by_shape,
                    state.help_scroll);
  }
  if (state.log.open) {
    draw_launch_log(buffer, log_box(area), state);
  }
  if (state.messages.open) {
    draw_message_log(buffer, area, state.messages);
  }
  if (state.rate_panel) {
    draw_rate_history(buffer, area, state);
  }
  if (state.form) {
    draw_experiment_form(buffer, form_box(area), *state.form, state.status);
  }
  if (state.assistant.open) {
    draw_assistant(buffer, assistant_box(area), state);
  }
  if (state.palette) {
    draw_command_palette(buffer, area, state);
  }
}

}  // namespace qm
