#include "ui/palette_overlay.hpp"

#include <string>
#include <string_view>

#include "model/mode_keys.hpp"
#include "text/text.hpp"
#include "tui/paragraph.hpp"
#include "ui/overlay_box.hpp"
#include "ui/palette.hpp"
#include "ui/typing_cursor.hpp"

namespace qm {

namespace {

// What the palette offers, after the legend of its keys.
constexpr std::string_view offered = "views, problems, topics, nodes, frames, actions";

// The label cut to what is left after the right-hand text, then filler spaces, the right-hand
// text and one space, so the right-hand texts line up at the right edge.
tui::Line entry_line(const PaletteCandidate& entry, bool selected, std::size_t width) {
  std::string right(entry.kind);
  if (!entry.hint.empty()) {
    right += "  ";
    right += display_safe(entry.hint);
  }
  const std::size_t right_width = display_width(right);
  const std::size_t label_room = width > right_width + 3 ? width - right_width - 3 : 0;
  std::string label = truncate_middle(display_safe(entry.label), label_room);
  const std::size_t used = right_width + display_width(label) + 1;
  const std::size_t fill = width > used ? width - used : 0;

  const tui::Style label_style =
      selected ? tui::fg(palette::text_bright).with_bg(palette::bg_selection).bold()
               : tui::fg(palette::text_base);
  const tui::Style right_style = selected
                                     ? tui::fg(palette::accent_soft).with_bg(palette::bg_selection)
                                     : tui::fg(palette::text_muted);
  tui::Line line;
  line.push(std::move(label), label_style);
  line.push(std::string(fill, ' '));
  line.push(std::move(right), right_style);
  line.push(" ");
  return line;
}

}  // namespace

std::vector<tui::Line> palette_lines(const PaletteState& open_palette,
                                     std::span<const PaletteCandidate> matches, uint16_t width) {
  std::vector<tui::Line> lines;
  tui::Line query;
  query.push(": ", tui::fg(palette::accent).bold());
  query.push(display_safe(open_palette.query), tui::fg(palette::text_bright).bold());
  query.spans.push_back(cursor_span());
  lines.push_back(std::move(query));
  lines.emplace_back(filler("─", width), tui::fg(palette::rule));
  for (std::size_t i = 0; i < matches.size(); ++i) {
    lines.push_back(entry_line(matches[i], i == open_palette.selected, width));
  }
  if (matches.empty()) {
    lines.emplace_back("No matches. Esc closes.", tui::fg(palette::text_muted));
  }
  lines.emplace_back();
  lines.emplace_back(palette_legend() + " · " + std::string(offered), tui::fg(palette::text_dim));
  return lines;
}

void draw_command_palette(tui::Buffer& buffer, tui::Rect area, const AppState& state) {
  const std::vector<PaletteCandidate> matches = palette_matches(state, state.palette->query);
  const tui::Rect box = palette_box(area, matches.size());
  if (box.empty()) {
    return;
  }
  clear_box(buffer, box);
  const tui::Rect inner = draw_panel_frame(buffer, box, "Command");
  tui::Paragraph paragraph;
  paragraph.render(palette_lines(*state.palette, matches, base::saturating_sub(box.width, 2)),
                   inner, buffer);
}

}  // namespace qm
