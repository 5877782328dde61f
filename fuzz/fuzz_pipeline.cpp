// A fuzzed document through everything that shows it: the model of each side, the rows of every
// view, the detail page of a few rows of each, and whole frames at every size, in both layouts
// (list or detail focused) and with raw evidence on and off.
#include <memory>
#include <utility>
#include <vector>

#include "frame_drawing.hpp"
#include "fuzz_support.hpp"
#include "json/json_access.hpp"
#include "model/initial_state.hpp"
#include "model/row_selection.hpp"

namespace {

// The first, middle and last rows: enough to reach every kind of row without drawing thousands.
std::vector<std::size_t> sampled_rows(std::size_t count) {
  if (count == 0) {
    return {0};  // no row selected
  }
  std::vector<std::size_t> rows = {0};
  for (std::size_t index : {count / 2, count - 1}) {
    if (index != rows.back()) {
      rows.push_back(index);
    }
  }
  return rows;
}

void draw_every_view(qm::AppState& state) {
  for (qm::View view : qm::all_views) {
    qm::reset_to_view(state, view);
    const std::vector<std::size_t> rows = sampled_rows(state.rows.size());
    for (std::size_t pick = 0; pick < rows.size(); ++pick) {
      state.selected = rows[pick];
      state.selected_id = state.selected_row() ? std::string(state.selected_row()->id) : "";
      state.connection_cursor = 0;
      for (std::size_t look = 0; look < 4; ++look) {
        // The first row is drawn in all four looks; the others in one each, to stay fast.
        if (pick != 0 && look != pick % 4) {
          continue;
        }
        state.detail_focus = (look & 1) != 0;
        state.raw_view = (look & 2) != 0;
        for (tui::Size size : qm::fuzz::frame_sizes) {
          qm::fuzz::draw_at(state, size);
        }
      }
    }
  }
  state.detail_focus = false;
  state.raw_view = false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto document = qm::fuzz::session_of(qm::fuzz::bytes_of(data, size));
  if (!document) {
    return 0;
  }
  const bool truecolour = size % 2 == 0;
  qm::AppState state = qm::build_initial_state(*document, true, truecolour);
  draw_every_view(state);
  if (qm::member(state.document(), "baseline").is_object()) {
    // The old rows point into the old model, which must outlive their rebuild.
    const qm::SessionModel previous =
        std::exchange(state.model, qm::show_side(state.model, qm::Side::baseline));
    qm::rebuild_rows(state);
    draw_every_view(state);
  }
  return 0;
}
