#include "model/row_selection.hpp"

#include <array>

#include "model/row_id.hpp"
#include "model/view_rows.hpp"

namespace qm {

void sync_selection(AppState& state) {
  state.connection_cursor = 0;
  const Row* row = state.selected_row();
  if (row == nullptr) {
    if (state.view == View::results) {
      state.selected_result_id.reset();
    } else if (traits_of(state.view).exports) {
      state.selected_id.clear();
      state.pan = 0;
    }
    return;
  }
  if (state.view == View::results) {
    if (state.selected_result_id != row->id) {
      state.selected_result_id = row->id;
    }
    return;
  }
  // The pan belongs to the lines of one entity; a rebuild that keeps it keeps the pan.
  if (state.selected_id != row->id) {
    state.pan = 0;
  }
  state.selected_id = row->id;
}

void rebuild_rows(AppState& state) {
  std::optional<std::string> keep;
  if (state.view == View::results && state.selected_result_id) {
    keep = state.selected_result_id;
  } else if (const Row* row = state.selected_row()) {
    keep = row->id;
  }
  state.rows = build_view_rows(state.model, state.view, state.filter, state.results_status_filter,
                               state.list_order());
  state.selected = 0;
  if (keep) {
    for (std::size_t i = 0; i < state.rows.size(); ++i) {
      if (state.rows[i].id == *keep) {
        state.selected = i;
        break;
      }
    }
  }
  sync_selection(state);
}

void reset_to_view(AppState& state, View view) {
  state.view = view;
  state.filter.clear();
  state.detail_scroll = 0;
  state.pan = 0;
  state.detail_focus = false;
  rebuild_rows(state);
}

bool select_row_by_id(AppState& state, std::string_view id) {
  for (std::size_t i = 0; i < state.rows.size(); ++i) {
    if (state.rows[i].id == id) {
      state.selected = i;
      sync_selection(state);
      return true;
    }
  }
  return false;
}

bool select_row_named(AppState& state, std::string_view name) {
  if (name.empty()) {
    return false;
  }
  const auto label_of = [](const Row& row) {
    const std::size_t start = row.label.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string_view{} : row.label.substr(start);
  };
  const std::array<std::string_view (*)(const Row&), 3> keys = {
      [](const Row& row) { return row.id; },
      [](const Row& row) { return name_of(row.id); },
      +label_of,
  };
  for (const auto key : keys) {
    for (std::size_t i = 0; i < state.rows.size(); ++i) {
      if (key(state.rows[i]) == name) {
        state.selected = i;
        sync_selection(state);
        return true;
      }
    }
  }
  return false;
}

}  // namespace qm
