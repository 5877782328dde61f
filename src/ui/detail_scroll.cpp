#include "ui/detail_scroll.hpp"

#include <algorithm>

#include "ui/frame_layout.hpp"

namespace qm {

Wrapping detail_wrapping(View view) {
  return view == View::graph ? Wrapping::none : Wrapping::words;
}

tui::Rect detail_inner(const AppState& state) {
  return compute_frame_layout(state.frame_area(), state.view, state.detail_focus).detail.inner(1);
}

ScrollExtent detail_extent(const AppState& state, const DetailPage& page) {
  return text_extent(page.text, detail_inner(state), detail_wrapping(state.view));
}

ScrollExtent detail_extent(const AppState& state) {
  return detail_extent(state, detail_page(state));
}

std::optional<uint16_t> detail_scroll_to_line(const AppState& state, std::string_view line) {
  const DetailPage page = detail_page(state);
  const tui::Rect inner = detail_inner(state);
  const std::optional<std::size_t> rows =
      rows_before_line(page.text, inner, detail_wrapping(state.view), line);
  if (!rows) {
    return std::nullopt;
  }
  const auto offset = static_cast<uint16_t>(std::min<std::size_t>(*rows, 0xFFFF));
  return text_extent(page.text, inner, detail_wrapping(state.view)).clamp(offset);
}

}  // namespace qm
