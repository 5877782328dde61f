#include "input/navigation.hpp"

#include <fmt/format.h>

#include "base/unicode.hpp"
#include "input/request_channel.hpp"
#include "model/limits.hpp"
#include "model/row_id.hpp"
#include "model/row_selection.hpp"
#include "text/text.hpp"

namespace qm {

void report_selected_result(AppState& state, const std::optional<std::string>& before) {
  if (state.view == View::results && state.selected_result_id &&
      state.selected_result_id != before && state.request_channel) {
    send_request(state, RequestAction::select_result,
                 RequestPayload().text("result_id", *state.selected_result_id));
  }
}

void save_view_state(AppState& state) {
  if (!state.request_channel) {
    return;
  }
  ViewState current = view_state(state);
  // A save still waiting in the outbox counts as saved.
  const ViewState* last = state.last_saved_view_state ? &*state.last_saved_view_state : nullptr;
  for (const Request& request : state.outbox.requests) {
    if (request.saved_view) {
      last = &*request.saved_view;
    }
  }
  if (last != nullptr && *last == current) {
    return;
  }
  const RequestPayload payload = RequestPayload()
                                     .number("tab", std::uint64_t{current.tab})
                                     .text("filter", current.filter)
                                     .text("selected_id", current.selected_id);
  if (send_request(state, RequestAction::save_view, payload)) {
    state.outbox.requests.back().saved_view = std::move(current);
  }
}

void push_history(AppState& state) {
  state.history.push_back(
      HistoryEntry{std::string(current_id(state)), state.filter, state.view, state.detail_focus});
  if (state.history.size() > limits::history_entries) {
    state.history.erase(state.history.begin());
  }
}

void go_back(AppState& state) {
  if (state.history.empty()) {
    return;
  }
  HistoryEntry entry = std::move(state.history.back());
  state.history.pop_back();
  if (entry.view != state.view) {
    state.pan = 0;
  }
  state.view = entry.view;
  state.filter.clear();
  rebuild_rows(state);
  state.filter = std::move(entry.filter);
  rebuild_rows(state);
  select_row_by_id(state, entry.selected_id);
  state.detail_focus = entry.detail_focus;
}

void go_to_entity(AppState& state, std::string_view id) {
  const std::optional<RowKind> kind = kind_of(id);
  View view = View::health;
  if (kind == RowKind::node || kind == RowKind::frame || kind == RowKind::topic ||
      kind == RowKind::problem) {
    view = home_view(*kind);
  } else if (id != health_summary_id) {
    return;
  }
  const std::string target(id);
  push_history(state);
  reset_to_view(state, view);
  if (!select_row_by_id(state, target)) {
    state.status = fmt::format("{} is not in the {} capture", display_safe(target),
                               side_name(state.model.side));
  }
}

}  // namespace qm
