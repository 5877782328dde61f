#include "ui/hit_test.hpp"

#include "ui/list_pane.hpp"
#include "ui/rail_lines.hpp"
#include "ui/view_switcher.hpp"

namespace qm {

std::optional<View> rail_view_at(const FrameLayout& layout, tui::Position position) {
  if (!layout.rail) {
    return std::nullopt;
  }
  const tui::Rect rail = *layout.rail;
  // Only lines that are drawn count: those between the top and the bottom border.
  const tui::Rect lines{rail.x, base::saturating_add(rail.y, 1), rail.width,
                        base::saturating_sub(rail.height, 2)};
  if (!lines.contains(position)) {
    return std::nullopt;
  }
  const std::size_t line = position.y - lines.y;
  if (line >= rail_entries.size()) {
    return std::nullopt;
  }
  return rail_entries[line].view;
}

std::optional<View> tab_view_at(const FrameLayout& layout, View current, tui::Position position) {
  if (!layout.tab_strip || !layout.tab_strip->contains(position)) {
    return std::nullopt;
  }
  for (const TabSpan& tab : tab_window(current, *layout.tab_strip).tabs) {
    if (position.x >= tab.x && position.x < tab.x + tab.width) {
      return tab.view;
    }
  }
  return std::nullopt;
}

std::optional<std::size_t> list_row_at(const FrameLayout& layout, std::size_t selected,
                                       std::size_t row_count, tui::Position position) {
  if (!layout.list) {
    return std::nullopt;
  }
  const ListWindow window = list_window(*layout.list, selected, row_count);
  if (!window.inner.contains(position)) {
    return std::nullopt;
  }
  const std::size_t line = position.y - window.inner.y;
  if (line >= window.shown) {
    return std::nullopt;
  }
  return window.first + line;
}

bool over_detail_pane(const FrameLayout& layout, tui::Position position) {
  return layout.detail.contains(position);
}

}  // namespace qm
