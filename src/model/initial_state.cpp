#include "model/initial_state.hpp"

#include "model/limits.hpp"
#include "model/row_id.hpp"
#include "model/row_selection.hpp"
#include "model/view_state.hpp"
#include "text/text.hpp"

namespace qm {

namespace {

void open_view(AppState& state, View view) {
  state.view = view;
  state.filter.clear();
  state.detail_scroll = 0;
  rebuild_rows(state);
}

// The view a selection given at start opens: Nodes or TF for their ids, else Topics.
View view_of_selection(std::string_view id) {
  const std::optional<RowKind> kind = kind_of(id);
  return kind == RowKind::node || kind == RowKind::frame ? home_view(*kind) : View::topics;
}

// Restores the saved view state when it is complete and within its limits; true when applied.
bool restore_view_state(AppState& state, const Json& saved) {
  const std::optional<uint64_t> tab = unsigned_of(member(saved, "tab"));
  const auto filter = string_of(member(saved, "filter"));
  const auto selected_id = string_of(member(saved, "selected_id"));
  if (!tab || *tab > 9 || !filter.has_value() || filter->size() > limits::filter_length ||
      !selected_id.has_value() || selected_id->size() > limits::selected_id_length) {
    return false;
  }
  state.last_saved_view_state = ViewState{*tab, std::string(*filter), std::string(*selected_id)};
  state.view = view_at(*tab);
  state.filter = display_safe(*filter);
  rebuild_rows(state);
  if (!select_row_by_id(state, *selected_id) && !selected_id->empty()) {
    if (traits_of(state.view).awaits_selection) {
      state.pending_selection = *selected_id;
    } else {
      state.selected_id = *selected_id;
    }
  }
  return true;
}

}  // namespace

AppState build_initial_state(DocumentPtr document, bool request_channel, bool truecolour) {
  AppState state;
  state.model = build_model(std::move(document));
  state.request_channel = request_channel;
  state.truecolour = truecolour;
  rebuild_rows(state);

  const Json& root = state.document();
  const auto selection = string_of(member(root, "selection"));
  bool result_selected = false;
  if (const auto result = string_of(member(root, "result_selection"))) {
    open_view(state, View::results);
    if (select_row_by_id(state, *result)) {
      result_selected = true;
      if (selection.has_value()) {
        state.selected_id = *selection;
      }
    } else {
      state.selected_result_id.reset();
      open_view(state, View::health);
    }
  }
  if (!result_selected && selection.has_value()) {
    open_view(state, view_of_selection(*selection));
    select_row_by_id(state, *selection);
  }
  const Json& saved = member(root, "view_state");
  if (saved.is_object()) {
    restore_view_state(state, saved);
  }

  if (!state.last_saved_view_state) {
    state.last_saved_view_state = view_state(state);
  }
  return state;
}

}  // namespace qm
