#include "app/initial_state.hpp"

#include "input/navigation.hpp"
#include "text/text.hpp"

namespace qm {

namespace {

constexpr std::size_t view_state_filter_limit = 256;
constexpr std::size_t view_state_selected_id_limit = 512;

void open_view(AppState& state, View view) {
  state.view = view;
  state.filter.clear();
  state.detail_scroll = 0;
  rebuild_rows(state);
}

View view_of_selection(std::string_view id) {
  if (id.starts_with("node:"))
    return View::nodes;
  if (id.starts_with("frame:"))
    return View::tf;
  return View::topics;
}

// Restores the saved view state when it is complete and within its limits; true when applied.
bool restore_view_state(AppState& state, const Json& saved) {
  const std::optional<uint64_t> tab = unsigned_of(member(saved, "tab"));
  const auto filter = string_of(member(saved, "filter"));
  const auto selected_id = string_of(member(saved, "selected_id"));
  if (!tab || *tab > 9 || !filter.has_value() || filter->size() > view_state_filter_limit ||
      !selected_id.has_value() || selected_id->size() > view_state_selected_id_limit) {
    return false;
  }
  state.last_saved_view_state =
      nlohmann::json{{"tab", *tab}, {"filter", *filter}, {"selected_id", *selected_id}};
  state.view = view_at(*tab);
  state.filter = display_safe(*filter);
  rebuild_rows(state);
  if (!select_row_by_id(state, *selected_id) && !selected_id->empty()) {
    const std::size_t index = view_index(state.view);
    if (index >= 1 && index <= 6) {
      state.pending_selection = *selected_id;
    } else {
      state.selected_id = *selected_id;
    }
  }
  return true;
}

}  // namespace

AppState build_initial_state(DocumentPtr document, std::shared_ptr<RequestWriter> requests,
                             bool truecolour) {
  AppState state;
  state.model = build_model(std::move(document));
  state.requests = std::move(requests);
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
