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
  joined_.clear();
  for (const Span& span : line.spans) {
    joined_ += span.content;
  }
  return joined_;
}

}  // namespace tui
