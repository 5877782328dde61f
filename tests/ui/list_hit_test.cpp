#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "frame_fixture.hpp"
#include "ui/frame_layout.hpp"
#include "ui/hit_test.hpp"

namespace qm {
namespace {

using ui_test::draw;
using ui_test::numbered_rows;
using ui_test::select_row;

struct ListClick {
  const char* name;
  uint16_t width;
  uint16_t height;
  bool detail_focus;
  std::size_t count;
  std::size_t selected;
  tui::Position at;
  std::optional<std::size_t> row;
};

// Wide 120×12: the list spans columns 20–61 and rows 1–9, so seven rows show on lines 2–8.
// Narrow 80×12: the list spans the width and rows 2–9, so six rows show on lines 3–8.
const std::vector<ListClick> list_clicks = {
    {"wide, first line of a scrolled list", 120, 12, false, 30, 25, {30, 2}, 19},
    {"wide, the selected row on the last line", 120, 12, false, 30, 25, {30, 8}, 25},
    {"wide, last inner column", 120, 12, false, 30, 25, {60, 5}, 22},
    {"wide, left border", 120, 12, false, 30, 25, {20, 5}, std::nullopt},
    {"wide, right border", 120, 12, false, 30, 25, {61, 5}, std::nullopt},
    {"wide, title", 120, 12, false, 30, 25, {30, 1}, std::nullopt},
    {"wide, bottom border", 120, 12, false, 30, 25, {30, 9}, std::nullopt},
    {"wide, the last of three rows", 120, 12, false, 3, 0, {30, 4}, 2},
    {"wide, empty line below the last row", 120, 12, false, 3, 0, {30, 5}, std::nullopt},
    {"wide, one line inside the pane", 120, 6, false, 30, 25, {30, 2}, 25},
    {"wide, a pane with no inside", 120, 4, false, 30, 25, {30, 1}, std::nullopt},
    {"narrow, first line of a scrolled list", 80, 12, false, 30, 25, {10, 3}, 20},
    {"narrow, last line at the last inner column", 80, 12, false, 30, 25, {78, 8}, 25},
    {"narrow, detail focus shows no list", 80, 12, true, 30, 25, {10, 5}, std::nullopt},
    {"empty list", 120, 12, false, 0, 0, {30, 2}, std::nullopt},
};

TEST(ListHit, TheRowUnderAClickIsTheRowDrawnThere) {
  for (const ListClick& c : list_clicks) {
    SCOPED_TRACE(c.name);
    AppState state = numbered_rows(c.count);
    select_row(state, c.selected);
    state.detail_focus = c.detail_focus;
    const FrameLayout layout =
        compute_frame_layout(tui::Rect{0, 0, c.width, c.height}, state.view, c.detail_focus);
    const std::optional<std::size_t> row =
        list_row_at(layout, state.selected, state.rows.size(), c.at);
    EXPECT_EQ(row, c.row);
    if (row) {
      // The frame shows that very row on the clicked line.
      const tui::Buffer buffer = draw(state, c.width, c.height);
      const std::string line = buffer.row_text(c.at.y);
      EXPECT_NE(line.find(" row " + std::to_string(*row) + " "), std::string::npos) << line;
    }
  }
}

TEST(ListHit, TheWheelFindsTheDetailPaneInEitherLayout) {
  const FrameLayout wide = compute_frame_layout(tui::Rect{0, 0, 120, 12}, View::topics, false);
  EXPECT_TRUE(over_detail_pane(wide, {62, 1}));
  EXPECT_TRUE(over_detail_pane(wide, {119, 9}));
  EXPECT_FALSE(over_detail_pane(wide, {61, 5}));
  EXPECT_FALSE(over_detail_pane(wide, {100, 10}));
  // The narrow list leaves the detail pane no columns; with the focus it takes the content.
  const FrameLayout narrow = compute_frame_layout(tui::Rect{0, 0, 80, 12}, View::topics, false);
  EXPECT_FALSE(over_detail_pane(narrow, {79, 5}));
  const FrameLayout focused = compute_frame_layout(tui::Rect{0, 0, 80, 12}, View::topics, true);
  EXPECT_TRUE(over_detail_pane(focused, {10, 5}));
  EXPECT_FALSE(over_detail_pane(focused, {10, 1}));
}

}  // namespace
}  // namespace qm
