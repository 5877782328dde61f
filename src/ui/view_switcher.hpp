#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"

namespace qm {

// One tab of the strip and the columns it covers.
struct TabSpan {
  View view = View::health;
  uint16_t x = 0;
  uint16_t width = 0;

  bool operator==(const TabSpan&) const = default;
};

// The tabs a strip has room for: a window of views around the current one, with "‹" before it
// when it does not start at the first view and "›" after it when it does not reach the last.
struct TabWindow {
  std::vector<TabSpan> tabs;
  bool more_left = false;
  bool more_right = false;
};

// A tab's label: " {key} {name} ".
std::string tab_label(View view);
// The window of tabs that `strip` shows while `current` is the view.
TabWindow tab_window(View current, tui::Rect strip);

// Draws the tab strip of the narrow layout.
void draw_tab_strip(tui::Buffer& buffer, tui::Rect strip, View current);
// Draws the view rail of the wide layout: headings, views with their badges, the current view
// highlighted.
void draw_view_rail(tui::Buffer& buffer, tui::Rect rail, const AppState& state);

}  // namespace qm
