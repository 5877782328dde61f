#pragma once

#include <cstddef>
#include <optional>

#include "model/view.hpp"
#include "tui/geometry.hpp"
#include "ui/frame_layout.hpp"

namespace qm {

// The view whose rail line lies under `position`: one of the rail's fourteen lines below its top
// border, anywhere across the rail's columns. None on a heading, a border or outside the rail.
std::optional<View> rail_view_at(const FrameLayout& layout, tui::Position position);

// The view whose tab covers `position` on the tab strip drawn while `current` is the view.
std::optional<View> tab_view_at(const FrameLayout& layout, View current, tui::Position position);

// The index of the list row drawn under `position` while `selected` of `row_count` rows is
// selected. None on the list's border and title, below its last row, or outside it.
std::optional<std::size_t> list_row_at(const FrameLayout& layout, std::size_t selected,
                                       std::size_t row_count, tui::Position position);

// Whether `position` lies on the detail pane, its border included.
bool over_detail_pane(const FrameLayout& layout, tui::Position position);

}  // namespace qm
