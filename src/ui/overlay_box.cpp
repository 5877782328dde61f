#include "ui/overlay_box.hpp"

#include <algorithm>

#include "tui/clear.hpp"
#include "ui/palette.hpp"
#include "ui/pane_block.hpp"
#include "ui/scroll_extent.hpp"

namespace qm {

namespace {

constexpr uint16_t wide_margin = 2;
constexpr uint16_t palette_top = 2;
constexpr uint16_t palette_narrowest = 40;
constexpr uint16_t palette_widest = 84;
// Borders, query, rule, empty line and hint around the entries.
constexpr std::size_t palette_chrome_rows = 6;

// `value` * numerator / denominator for a fraction below one, so the result fits 16 bits.
constexpr uint16_t scaled(uint16_t value, unsigned numerator, unsigned denominator) {
  return static_cast<uint16_t>(unsigned{value} * numerator / denominator);
}

// Dim text on the base background, not bold: the frame under open panels, and what they clear.
constexpr tui::Style dimmed = tui::fg(palette::text_dim).with_bg(palette::bg_base).not_bold();

// Empties `area` and gives it the dimmed look, so no cell is left in the terminal's own colours.
void clear_dimmed(tui::Buffer& buffer, tui::Rect area) {
  tui::clear(area, buffer);
  buffer.set_style(area, dimmed);
}

tui::Rect margin_box(tui::Rect area) {
  return tui::Rect{base::saturating_add(area.x, wide_margin),
                   base::saturating_add(area.y, wide_margin),
                   base::saturating_sub(area.width, 2 * wide_margin),
                   base::saturating_sub(area.height, 2 * wide_margin)};
}

}  // namespace

tui::Rect help_box(tui::Rect area) {
  return tui::Rect{base::saturating_add(area.x, area.width / 8),
                   base::saturating_add(area.y, area.height / 8), scaled(area.width, 3, 4),
                   scaled(area.height, 3, 4)};
}

tui::Rect log_box(tui::Rect area) {
  return margin_box(area);
}

tui::Rect assistant_box(tui::Rect area) {
  return margin_box(area);
}

tui::Rect form_box(tui::Rect area) {
  return tui::Rect{base::saturating_add(area.x, area.width / 10),
                   base::saturating_add(area.y, area.height / 4), scaled(area.width, 4, 5),
                   static_cast<uint16_t>(area.height / 2)};
}

uint16_t palette_width(uint16_t terminal_width) {
  const uint16_t narrowest = std::min(terminal_width, palette_narrowest);
  return std::clamp(scaled(terminal_width, 6, 10), narrowest, palette_widest);
}

tui::Rect palette_box(tui::Rect area, std::size_t matches) {
  const uint16_t width = palette_width(area.width);
  const std::size_t wanted = matches + palette_chrome_rows + (matches == 0 ? 1 : 0);
  const uint16_t room = base::saturating_sub(area.height, palette_top);
  return tui::Rect{base::saturating_add(area.x, base::saturating_sub(area.width, width) / 2),
                   base::saturating_add(area.y, palette_top), width,
                   static_cast<uint16_t>(std::min<std::size_t>(room, wanted))};
}

void dim_below_header(tui::Buffer& buffer, tui::Rect area) {
  if (area.height <= 1) {
    return;
  }
  const tui::Rect below{area.x, static_cast<uint16_t>(area.y + 1), area.width,
                        static_cast<uint16_t>(area.height - 1)};
  buffer.set_style(below, dimmed);
}

void clear_box(tui::Buffer& buffer, tui::Rect box) {
  if (box.empty()) {
    return;
  }
  clear_dimmed(buffer, box);
  if (box.x > buffer.area().x) {
    clear_dimmed(buffer, tui::Rect{static_cast<uint16_t>(box.x - 1), box.y, 1, box.height});
  }
  if (box.right() < buffer.area().right()) {
    clear_dimmed(buffer, tui::Rect{box.right(), box.y, 1, box.height});
  }
}

tui::Rect draw_panel_frame(tui::Buffer& buffer, tui::Rect part, std::string_view title,
                           bool focused) {
  tui::Block block = pane_block(title, focused);
  block.fill = tui::fg(palette::text_base).with_bg(palette::bg_panel);
  block.render(part, buffer);
  return block.inner(part);
}

void draw_text_panel(tui::Buffer& buffer, tui::Rect box, std::string_view title,
                     std::string_view text, DetailLines::Styling styling, uint16_t scroll,
                     WrappedLook look) {
  if (box.empty()) {
    return;
  }
  clear_box(buffer, box);
  const tui::Rect inner = draw_panel_frame(buffer, box, title);
  const ScrollExtent extent = text_extent(text, inner, Wrapping::words);
  draw_wrapped_text(buffer, inner, text, styling, extent.clamp(scroll), look);
  if (const std::string position = extent.position(scroll); !position.empty()) {
    draw_border_notes(buffer, box, {position}, true);
  }
}

}  // namespace qm
