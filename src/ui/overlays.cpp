#include "ui/overlays.hpp"

#include "ui/assistant_overlay.hpp"
#include "ui/detail_lines.hpp"
#include "ui/experiment_form.hpp"
#include "ui/help_text.hpp"
#include "ui/log_overlay.hpp"
#include "ui/message_log_overlay.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette_overlay.hpp"
#include "ui/pane_block.hpp"
#include "ui/rate_history_overlay.hpp"

namespace qm {

namespace {

bool any_overlay_open(const AppState& state) {
  return state.help_open || state.log.open || state.messages.open || state.rate_panel.has_value() ||
         state.form.has_value() || state.assistant.open || state.palette.has_value();
}

}  // namespace

ScrollExtent help_extent(tui::Rect area, View view) {
  const tui::Rect inner = help_box(area).inner(1);
  return text_extent(help_text(view, inner.width), inner, Wrapping::words);
}

void draw_overlays(tui::Buffer& buffer, const AppState& state) {
  if (!any_overlay_open(state)) {
    return;
  }
  const tui::Rect area = buffer.area();
  dim_below_header(buffer, area);
  if (state.help_open) {
    const tui::Rect box = help_box(area);
    draw_text_panel(buffer, box, " Help ", help_text(state.view, box.inner(1).width),
                    DetailLines::Styling::by_shape, state.help_scroll);
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
