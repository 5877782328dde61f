#include "ui/typing_cursor.hpp"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "ui/palette.hpp"

namespace qm {

tui::Span cursor_span() {
  return tui::Span(typing_cursor, tui::fg(palette::accent));
}

TextPlace place_of(std::string_view text, std::size_t byte) {
  const std::string_view before = text.substr(0, byte);
  const std::size_t feed = before.rfind('\n');
  return TextPlace{static_cast<std::size_t>(std::ranges::count(before, '\n')),
                   feed == std::string_view::npos ? before.size() : before.size() - feed - 1};
}

void paint_cursor(tui::Line& line, std::size_t offset) {
  std::size_t start = 0;
  for (auto piece = line.spans.begin(); piece != line.spans.end(); ++piece) {
    const std::size_t end = start + piece->content.size();
    if (offset >= end) {
      start = end;
      continue;
    }
    // The cursor must lie whole inside this piece.
    const std::size_t at = offset - start;
    if (std::string_view(piece->content).substr(at, typing_cursor.size()) != typing_cursor) {
      return;
    }
    std::string after = piece->content.substr(at + typing_cursor.size());
    const tui::Style style = piece->style;
    piece->content.resize(at);
    std::vector<tui::Span> pieces;
    pieces.push_back(cursor_span());
    if (!after.empty()) {
      pieces.emplace_back(std::move(after), style);
    }
    const auto next = line.spans.insert(std::next(piece), pieces.begin(), pieces.end());
    if (std::prev(next)->content.empty()) {
      line.spans.erase(std::prev(next));
    }
    return;
  }
}

}  // namespace qm
