#include "ui/pane_block.hpp"

#include "base/unicode.hpp"
#include "ui/palette.hpp"

namespace qm {

namespace {

constexpr std::string_view title_break = " · ";
constexpr std::string_view separator = "·";

// Border cells kept free at each end of the bottom border: the corner and one line.
constexpr uint16_t note_margin = 2;

}  // namespace

std::vector<tui::Span> pane_title(std::string_view title, bool focused) {
  std::vector<tui::Span> pieces;
  const std::size_t split = title.find(title_break);
  const std::string_view head = title.substr(0, split);
  if (!head.empty()) {
    pieces.emplace_back(head, tui::fg(focused ? palette::accent_soft : palette::text_muted).bold());
  }
  if (split == std::string_view::npos) {
    return pieces;
  }
  const tui::Style rest_style = tui::fg(focused ? palette::text_muted : palette::text_dim);
  const tui::Style separator_style = tui::fg(palette::text_dim);
  std::string_view rest = title.substr(split);
  while (!rest.empty()) {
    const std::size_t next = rest.find(separator);
    if (next != 0) {
      pieces.emplace_back(rest.substr(0, next), rest_style);
    }
    if (next == std::string_view::npos) {
      break;
    }
    pieces.emplace_back(separator, separator_style);
    rest.remove_prefix(next + separator.size());
  }
  return pieces;
}

tui::Block pane_block(std::string_view title, bool focused) {
  tui::Block block;
  block.border_style = tui::fg(focused ? palette::accent : palette::rule);
  block.title = pane_title(title, focused);
  return block;
}

void draw_border_notes(tui::Buffer& buffer, tui::Rect pane, const std::vector<std::string>& notes,
                       bool focused) {
  if (pane.height < 2 || pane.width <= 2 * note_margin) {
    return;
  }
  // 1. Keep the notes, from the last one back, while they fit between the margins.
  std::size_t room = pane.width - 2 * note_margin;
  std::size_t used = 0;
  std::size_t first = notes.size();
  while (first > 0) {
    const std::size_t width = base::text_width(notes[first - 1]) + 2 + (used > 0 ? 1 : 0);
    if (used + width > room) {
      break;
    }
    used += width;
    --first;
  }
  // 2. Write them from the left end of the space they take.
  const tui::Style style = tui::fg(focused ? palette::text_muted : palette::text_dim);
  const auto y = static_cast<uint16_t>(pane.bottom() - 1);
  auto x = static_cast<uint16_t>(pane.right() - note_margin - used);
  for (std::size_t i = first; i < notes.size(); ++i) {
    x = buffer.set_string(x, y, " " + notes[i] + " ", style);
    if (i + 1 < notes.size()) {
      ++x;
    }
  }
}

}  // namespace qm
