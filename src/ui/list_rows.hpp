#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/app_state.hpp"
#include "tui/line.hpp"
#include "tui/style.hpp"

namespace qm {

// The coloured symbol in front of a row's label.
struct RowMarker {
  std::string_view symbol;
  tui::Color colour;

  bool operator==(const RowMarker&) const = default;
};

// A finding's target row id and its severity rank (as severity_rank counts). The id is the
// document's text itself unless that needed a display-safe copy.
struct FindingTarget {
  std::string_view raw_id;
  std::string safe_id;
  int rank = 0;

  std::string_view id() const { return safe_id.empty() ? raw_id : std::string_view(safe_id); }
};

// What the rows of one frame read from the document, looked up once per frame rather than once
// per row. It points into the state it was made from.
struct RowContext {
  View view = View::health;
  const SessionModel* model = nullptr;
  // The findings with a severity that aim at a row; only filled for Graph and Topics on the
  // current side.
  std::vector<FindingTarget> findings;
  // The row id of the capture's own node, when it is known.
  std::optional<std::string> capture_node_id;
  // Frames with more than one parent in the shown capture.
  std::vector<std::string> multi_parent_frames;
};

RowContext row_context(const AppState& state);

// The marker of a row of the context's view, when it has one (only Health to TF have them).
std::optional<RowMarker> row_marker(const RowContext& context, const Row& row);
// The short text right-aligned after a row's label, when it has one.
std::optional<std::string> row_secondary_text(const RowContext& context, const Row& row);

// A list row as drawn: everything up to the end of the label, and the secondary text that ends
// at the right edge `width` columns along, when there is one.
struct RowPieces {
  tui::Line head;
  std::optional<tui::Span> secondary;
  std::size_t secondary_width = 0;
};
RowPieces list_row_pieces(const RowContext& context, const Row& row, bool selected, uint16_t width);

// One line of the list pane `width` columns wide: the selection marker, the row marker, the label
// cut to fit (keeping a leading "[tag] " whole) and the secondary text at the right edge.
tui::Line list_row_line(const RowContext& context, const Row& row, bool selected, uint16_t width);
tui::Line list_row_line(const AppState& state, const Row& row, bool selected, uint16_t width);

}  // namespace qm
