#include "input/scrolling.hpp"

#include "ui/assistant_overlay.hpp"
#include "ui/detail_scroll.hpp"
#include "ui/message_log_overlay.hpp"
#include "ui/overlays.hpp"

namespace qm {

void scroll_detail(AppState& state, int delta) {
  state.detail_scroll = detail_extent(state).step(state.detail_scroll, delta);
}

void scroll_help(AppState& state, int delta) {
  state.help_scroll = help_extent(state.frame_area(), state.view).step(state.help_scroll, delta);
}

void scroll_assistant(AppState& state, int delta) {
  state.assistant.scroll =
      assistant_extent(state.frame_area(), state).step(state.assistant.scroll, delta);
}

void scroll_messages(AppState& state, int delta) {
  state.messages.scroll =
      message_log_extent(state.frame_area(), state.messages).step(state.messages.scroll, delta);
}

}  // namespace qm
