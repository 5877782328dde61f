#pragma once

#include <cstdint>
#include <optional>

#include "model/layout_numbers.hpp"
#include "model/view.hpp"
#include "tui/geometry.hpp"

namespace qm {

// The regions of one frame, in cells.
struct FrameLayout {
  tui::Rect header;
  // Only below 100 columns.
  std::optional<tui::Rect> tab_strip;
  // Only at 100 columns and more.
  std::optional<tui::Rect> rail;
  // Only in views with a list, and in the narrow layout only while the list has the focus.
  std::optional<tui::Rect> list;
  // Always present; zero columns wide while the narrow layout shows the list.
  tui::Rect detail;
  tui::Rect status;
  tui::Rect footer;
};

inline constexpr uint16_t rail_width = 20;

// The width of the list pane in a content area `content_width` columns wide: 42 % of it, at least
// 30 columns (or all of it) and leaving at least 30 columns (or one) to the detail pane.
uint16_t list_pane_width(uint16_t content_width);

// Splits `area` into the frame's regions for `view`.
FrameLayout compute_frame_layout(tui::Rect area, View view, bool detail_focus);

}  // namespace qm
