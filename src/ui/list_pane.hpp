#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "model/app_state.hpp"
#include "tui/buffer.hpp"
#include "tui/geometry.hpp"
#include "ui/list_rows.hpp"

namespace qm {

inline constexpr std::string_view no_matches_text = " No matches in this view. Esc clears search.";

// "{view} · {position}/{count} {results filter}{ · Tab detail in the narrow layout}".
std::string list_title(const AppState& state, bool narrow);

// The one muted line an empty list shows: why it is empty and how to undo that, or nothing when
// no search or status filter hides rows.
std::string empty_list_text(const AppState& state);

// The bottom border's note of a sorted list ("order: rate"); none in document order.
std::optional<std::string> list_order_note(const AppState& state);

// The first row shown in a list pane `pane_height` rows high, so that the selection stays in view.
std::size_t first_visible_row(std::size_t selected, uint16_t pane_height);

// The rows a list pane shows: the lines inside its border, the index of the row on the first of
// them and how many rows are drawn.
struct ListWindow {
  tui::Rect inner;
  std::size_t first = 0;
  std::size_t shown = 0;
};

// The window of a list pane at `pane` holding `row_count` rows with `selected` selected; drawing
// and clicks both go by it.
ListWindow list_window(tui::Rect pane, std::size_t selected, std::size_t row_count);

// Draws the list pane: its frame and title, and the visible window of rows with the selection
// highlighted (or the no-matches line under a search that found nothing).
void draw_list_pane(tui::Buffer& buffer, tui::Rect pane, const AppState& state, bool narrow);

// Draws one list row into the one-row `line`: its pieces, the secondary text ending at the right
// edge, and the selection's background when `selected`.
void draw_list_row(tui::Buffer& buffer, tui::Rect line, const RowContext& context, const Row& row,
                   bool selected);

}  // namespace qm
