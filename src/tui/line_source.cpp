#include "tui/line_source.hpp"

namespace tui {

std::string_view StyledLines::text(std::size_t i) const {
  const Line& line = lines_[i];
  if (line.spans.empty()) {
    return {};
  }
  if (line.spans.size() == 1) {
    return line.spans.front().content;
  }
  auto [entry, added] = joined_.try_emplace(i);
  if (added) {
    entry->second = line.plain();
  }
  return entry->second;
}

}  // namespace tui
