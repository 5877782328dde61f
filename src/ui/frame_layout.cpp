#include "ui/frame_layout.hpp"

#include <algorithm>

#include "tui/layout.hpp"

namespace qm {

namespace {

using tui::Constraint;
using tui::Direction;

constexpr uint16_t minimum_body_height = 3;
constexpr uint16_t minimum_content_width = 10;
constexpr uint16_t detail_reserve = 30;
constexpr uint16_t list_percent = 42;

// The zero-width detail pane right of a list that takes the whole content.
tui::Rect empty_detail(tui::Rect content) {
  return tui::Rect{content.right(), content.y, 0, content.height};
}

}  // namespace

uint16_t list_pane_width(uint16_t content_width) {
  // Worked out in 32 bits so very wide terminals cannot wrap the product around.
  const auto share = static_cast<uint16_t>(uint32_t{content_width} * list_percent / 100);
  const uint16_t lowest = std::min<uint16_t>(content_width, detail_reserve);
  const uint16_t highest =
      std::max<uint16_t>(base::saturating_sub(content_width, detail_reserve), uint16_t{1});
  // The upper bound wins should the two cross, so the detail pane keeps its columns.
  return std::min(std::max(share, lowest), highest);
}

FrameLayout compute_frame_layout(tui::Rect area, View view, bool detail_focus) {
  const bool wide = area.width >= wide_layout_width;
  const auto rows = tui::split(
      area, Direction::vertical,
      {Constraint::length(1), Constraint::length(wide ? 0 : 1),
       Constraint::min(minimum_body_height), Constraint::length(1), Constraint::length(1)});
  FrameLayout layout;
  layout.header = rows[0];
  layout.status = rows[3];
  layout.footer = rows[4];
  tui::Rect content = rows[2];
  if (wide) {
    const auto columns =
        tui::split(rows[2], Direction::horizontal,
                   {Constraint::length(rail_width), Constraint::min(minimum_content_width)});
    layout.rail = columns[0];
    content = columns[1];
  } else {
    layout.tab_strip = rows[1];
  }

  if (!view_has_list(view)) {
    layout.detail = content;
  } else if (wide) {
    const auto columns = tui::split(content, Direction::horizontal,
                                    {Constraint::length(list_pane_width(content.width)),
                                     Constraint::min(minimum_content_width)});
    layout.list = columns[0];
    layout.detail = columns[1];
  } else if (detail_focus) {
    layout.detail = content;
  } else {
    layout.list = content;
    layout.detail = empty_detail(content);
  }
  return layout;
}

}  // namespace qm
