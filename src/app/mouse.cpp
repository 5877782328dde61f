#include "app/mouse.hpp"

#include <algorithm>

#include "input/navigation.hpp"
#include "input/scrolling.hpp"
#include "input/selection_movement.hpp"
#include "model/limits.hpp"
#include "ui/frame_layout.hpp"
#include "ui/hit_test.hpp"

namespace qm {

namespace {

std::optional<tui::KeyEvent> click(AppState& state, const FrameLayout& layout,
                                   tui::Position position) {
  const std::optional<std::string> result_before = state.selected_result_id;
  std::optional<View> view = rail_view_at(layout, position);
  if (!view) {
    view = tab_view_at(layout, state.view, position);
  }
  if (view) {
    reset_to_view(state, *view);
  } else if (const auto row = list_row_at(layout, state.selected, state.rows.size(), position)) {
    if (*row == state.selected) {
      tui::KeyEvent enter;
      enter.code = tui::KeyCode::enter;
      return enter;
    }
    select_row(state, *row);
  } else {
    return std::nullopt;
  }
  report_selected_result(state, result_before);
  save_view_state(state);
  return std::nullopt;
}

void wheel(AppState& state, const FrameLayout& layout, tui::Position position,
           tui::MouseKind kind) {
  if (over_detail_pane(layout, position)) {
    scroll_detail(state, wheel_rows(kind));
    return;
  }
  const std::optional<std::string> result_before = state.selected_result_id;
  if (kind == tui::MouseKind::wheel_down) {
    if (!state.rows.empty()) {
      state.selected = std::min(state.selected + 1, state.rows.size() - 1);
    }
  } else if (state.selected > 0) {
    --state.selected;
  }
  sync_selection(state);
  report_selected_result(state, result_before);
}

}  // namespace

int wheel_rows(tui::MouseKind kind) {
  if (kind == tui::MouseKind::wheel_down) {
    return limits::wheel_step;
  }
  return kind == tui::MouseKind::wheel_up ? -int{limits::wheel_step} : 0;
}

std::optional<tui::KeyEvent> handle_frame_mouse(AppState& state, const tui::MouseEvent& mouse) {
  const FrameLayout layout = compute_frame_layout(
      tui::Rect{0, 0, state.frame_width, state.frame_height}, state.view, state.detail_focus);
  const tui::Position position{mouse.column, mouse.row};
  if (mouse.kind == tui::MouseKind::press && mouse.button == tui::MouseButton::left) {
    return click(state, layout, position);
  }
  if (mouse.kind == tui::MouseKind::wheel_down || mouse.kind == tui::MouseKind::wheel_up) {
    wheel(state, layout, position, mouse.kind);
  }
  return std::nullopt;
}

}  // namespace qm
