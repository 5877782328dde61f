#include "input/selection_movement.hpp"

#include <algorithm>
#include <cstdint>
#include <string>

#include "input/navigation.hpp"
#include "input/scrolling.hpp"
#include "model/row_id.hpp"

namespace qm {

void move_up(AppState& state) {
  if (state.detail_focus && view_has_connections(state.view)) {
    const std::size_t count = connection_count(state.model, state.selected_id);
    // A cursor that names no connection (after a reload lost it) moves onto the first one.
    const std::size_t cursor = state.connection_cursor.value_or(0);
    state.connection_cursor = count == 0 ? 0 : std::min(cursor == 0 ? 0 : cursor - 1, count - 1);
    state.detail_scroll = 0;
  } else if (!state.detail_focus && !state.rows.empty()) {
    state.selected = state.selected == 0 ? 0 : state.selected - 1;
    sync_selection(state);
    state.detail_scroll = 0;
  } else {
    scroll_detail(state, -1);
  }
}

void move_down(AppState& state) {
  if (state.detail_focus) {
    if (view_has_connections(state.view)) {
      const std::size_t count = connection_count(state.model, state.selected_id);
      const std::size_t next = state.connection_cursor ? *state.connection_cursor + 1 : 0;
      state.connection_cursor = count == 0 ? 0 : std::min(next, count - 1);
      state.detail_scroll = 0;
    } else {
      scroll_detail(state, 1);
    }
  } else if (!state.rows.empty()) {
    state.selected = std::min(state.selected + 1, state.rows.size() - 1);
    sync_selection(state);
    state.detail_scroll = 0;
  } else {
    scroll_detail(state, 1);
  }
}

void select_row(AppState& state, std::size_t index) {
  state.selected = index;
  sync_selection(state);
  state.detail_scroll = 0;
}

void follow_connection(AppState& state) {
  if (!state.connection_cursor) {
    return;
  }
  const std::vector<Connection> connections = connections_of(state.model, state.selected_id);
  if (*state.connection_cursor >= connections.size()) {
    return;
  }
  const std::string peer = connections[*state.connection_cursor].id;
  push_history(state);
  reset_to_view(state, kind_of(peer) == RowKind::node ? View::nodes : View::topics);
  select_row_by_id(state, peer);
}

}  // namespace qm
