#include "ui/pane_block.hpp"

#include "ui/palette.hpp"

namespace qm {

namespace {

constexpr std::string_view title_break = " · ";
constexpr std::string_view separator = "·";

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

}  // namespace qm
