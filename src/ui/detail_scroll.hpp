#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/app_state.hpp"
#include "tui/geometry.hpp"
#include "ui/scroll_extent.hpp"
#include "views/detail_page.hpp"

namespace qm {

// How the detail pane lays out its lines in `view`: wrapped at its width, except in Graph, whose
// long lines are cut at the border and panned instead.
Wrapping detail_wrapping(View view);

// The area inside the detail pane's borders in a frame of the size the state last recorded.
tui::Rect detail_inner(const AppState& state);

// How `page` fills that area.
ScrollExtent detail_extent(const AppState& state, const DetailPage& page);
// The same for the current view's page.
ScrollExtent detail_extent(const AppState& state);

// The detail scroll that puts the current page's first line equal to `line` on the pane's top
// row, or as near as the end of the text allows; none when the page has no such line or the pane
// is not shown.
std::optional<uint16_t> detail_scroll_to_line(const AppState& state, std::string_view line);

}  // namespace qm
