#include "app/answers_in_sight.hpp"

#include "model/answers.hpp"
#include "ui/assistant_overlay.hpp"
#include "ui/detail_scroll.hpp"
#include "views/answer_headings.hpp"

namespace qm {

void bring_answers_into_view(AppState& state, const Json& before) {
  const Json& after = state.document();
  if (const std::optional<AwaitedAnswer>& awaited = state.awaited_answer;
      awaited && awaited->entity_id == state.selected_id &&
      brings_new_answer(*awaited, before, after)) {
    if (const auto scroll = detail_scroll_to_line(state, answer_heading(awaited->action))) {
      state.detail_scroll = *scroll;
    }
  }
  if (state.assistant.open && brings_new_assistant_message(before, after)) {
    state.assistant.scroll = assistant_extent(state.frame_area(), state).last_offset();
  }
}

}  // namespace qm
