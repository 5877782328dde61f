#include "tui/line.hpp"

#include "base/unicode.hpp"

namespace tui {

std::string Line::plain() const {
  std::string out;
  for (const Span& span : spans) {
    out += span.content;
  }
  return out;
}

std::size_t Line::width() const {
  std::size_t width = 0;
  for (const Span& span : spans) {
    width += base::text_width(span.content);
  }
  return width;
}

}  // namespace tui
