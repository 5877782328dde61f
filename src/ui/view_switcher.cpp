#include "ui/view_switcher.hpp"

#include <fmt/format.h>

#include "text/text.hpp"
#include "ui/palette.hpp"
#include "ui/pane_block.hpp"
#include "ui/rail_lines.hpp"

namespace qm {

namespace {

// The tabs placed from view `start` on; the first one needs room for a "‹" before it and every
// one leaves the strip's last column free for "›".
std::vector<TabSpan> place_tabs(std::size_t start, tui::Rect strip) {
  std::vector<TabSpan> tabs;
  const unsigned left_marker = start > 0 ? 1 : 0;
  const unsigned first_width = left_marker + display_width(tab_label(view_at(start)));
  if (first_width + 1 > strip.width) {
    return tabs;
  }
  unsigned used = left_marker;
  for (std::size_t index = start; index < view_count; ++index) {
    const auto width = static_cast<unsigned>(display_width(tab_label(view_at(index))));
    if (index > start && used + width + 1 > strip.width) {
      break;
    }
    tabs.push_back(TabSpan{view_at(index), static_cast<uint16_t>(strip.x + used),
                           static_cast<uint16_t>(width)});
    used += width;
  }
  return tabs;
}

bool holds(const std::vector<TabSpan>& tabs, View view) {
  for (const TabSpan& tab : tabs) {
    if (tab.view == view) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string tab_label(View view) {
  return fmt::format(" {} {} ", view_key(view), view_name(view));
}

TabWindow tab_window(View current, tui::Rect strip) {
  const std::size_t index = view_index(current);
  std::size_t start = index >= 2 ? index - 2 : 0;
  std::vector<TabSpan> tabs = place_tabs(start, strip);
  // Earlier starts are tried until the current tab is placed; the first view is the last try.
  while (!holds(tabs, current) && start > 0) {
    --start;
    tabs = place_tabs(start, strip);
  }
  TabWindow window;
  window.more_left = start > 0;
  window.more_right = tabs.empty() || tabs.back().view != View::project;
  window.tabs = std::move(tabs);
  return window;
}

void draw_tab_strip(tui::Buffer& buffer, tui::Rect strip, View current) {
  if (strip.empty()) {
    return;
  }
  const TabWindow window = tab_window(current, strip);
  const tui::Style marker = tui::fg(palette::text_dim);
  uint16_t x = strip.x;
  if (window.more_left) {
    x = buffer.set_string(x, strip.y, "‹", marker, strip.width);
  }
  for (const TabSpan& tab : window.tabs) {
    const tui::Style style = tab.view == current
                                 ? tui::fg(palette::on_accent).with_bg(palette::accent).bold()
                                 : tui::fg(palette::text_muted);
    x = buffer.set_string(tab.x, strip.y, tab_label(tab.view), style,
                          base::saturating_sub(strip.right(), tab.x));
  }
  if (window.more_right && x < strip.right()) {
    buffer.set_string(x, strip.y, "›", marker, base::saturating_sub(strip.right(), x));
  }
}

void draw_view_rail(tui::Buffer& buffer, tui::Rect rail, const AppState& state) {
  if (rail.empty()) {
    return;
  }
  const tui::Block block = pane_block("Views", false);
  block.render(rail, buffer);
  const tui::Rect inner = block.inner(rail);
  for (std::size_t i = 0; i < rail_entries.size() && i < inner.height; ++i) {
    const RailEntry& entry = rail_entries[i];
    const auto y = static_cast<uint16_t>(inner.y + i);
    if (!entry.view) {
      buffer.set_line(inner.x, y, rail_heading_line(entry.heading), inner.width);
      continue;
    }
    const bool current = *entry.view == state.view;
    buffer.set_line(inner.x, y, rail_view_line(state, *entry.view, current, inner.width),
                    inner.width);
    if (current) {
      buffer.set_style(tui::Rect{inner.x, y, inner.width, 1}, tui::bg(palette::bg_selection));
    }
  }
}

}  // namespace qm
