#include "ui/scroll_extent.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "frame_fixture.hpp"
#include "ui/detail_pane.hpp"
#include "ui/detail_scroll.hpp"
#include "ui/pane_block.hpp"

namespace qm {
namespace {

using ui_test::frame_document;
using ui_test::state_for;

struct ExtentCase {
  const char* note;
  std::string text;
  tui::Rect area;
  Wrapping wrapping;
  uint16_t stored;
  std::size_t rows;
  uint16_t drawn;
  std::string position;
};

const std::string five_lines = "one\ntwo\nthree\nfour\nfive";

class ScrollExtentCases : public ::testing::TestWithParam<ExtentCase> {};

TEST_P(ScrollExtentCases, ClampsTheOffsetAndSaysWhereItIs) {
  const ExtentCase& c = GetParam();
  const ScrollExtent extent = text_extent(c.text, c.area, c.wrapping);
  EXPECT_EQ(extent.rows, c.rows);
  EXPECT_EQ(extent.clamp(c.stored), c.drawn);
  EXPECT_EQ(extent.position(c.stored), c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScrollExtentCases,
    ::testing::Values(
        ExtentCase{
            "shorter than the pane", "one\ntwo", {0, 0, 10, 3}, Wrapping::words, 4, 2, 0, ""},
        ExtentCase{
            "exactly fits", "one\ntwo\nthree\n", {0, 0, 10, 3}, Wrapping::words, 1, 3, 0, ""},
        ExtentCase{"longer", five_lines, {0, 0, 10, 3}, Wrapping::words, 1, 5, 1, "2–4/5"},
        ExtentCase{"overscrolled", five_lines, {0, 0, 10, 3}, Wrapping::words, 40, 5, 2, "3–5/5"},
        // "aaaa bbbb cccc" takes three rows at 5 columns.
        ExtentCase{"resized narrower",
                   "aaaa bbbb cccc\ndd",
                   {0, 0, 5, 3},
                   Wrapping::words,
                   9,
                   4,
                   1,
                   "2–4/4"},
        ExtentCase{
            "unwrapped", "aaaa bbbb cccc\ndd", {0, 0, 5, 1}, Wrapping::none, 0, 2, 0, "1–1/2"},
        ExtentCase{"empty pane", five_lines, {0, 0, 0, 3}, Wrapping::words, 3, 0, 0, ""}),
    [](const ::testing::TestParamInfo<ExtentCase>& param_info) {
      std::string name = param_info.param.note;
      std::replace(name.begin(), name.end(), ' ', '_');
      return name;
    });

TEST(ScrollExtent, StepsStopAtBothEndsAndStartFromTheClampedOffset) {
  const ScrollExtent extent{20, 5};
  EXPECT_EQ(extent.last_offset(), 15);
  EXPECT_EQ(extent.step(0, -12), 0);
  EXPECT_EQ(extent.step(10, 12), 15);
  // An offset stored past the end moves from the end at once.
  EXPECT_EQ(extent.step(900, -12), 3);
  EXPECT_EQ((ScrollExtent{200000, 5}).last_offset(), 65535);
  EXPECT_EQ((ScrollExtent{200000, 5}).position(65535), "65536–65540/200000");
}

TEST(ScrollExtent, RowsBeforeALineCountWrappedRows) {
  const std::string text = "aaaa bbbb cccc\n\nHEADING\nHEADING";
  EXPECT_EQ(rows_before_line(text, {0, 0, 10, 3}, Wrapping::words, "HEADING"), 3u);
  EXPECT_EQ(rows_before_line(text, {0, 0, 10, 3}, Wrapping::none, "HEADING"), 2u);
  EXPECT_EQ(rows_before_line(text, {0, 0, 10, 3}, Wrapping::words, "HEAD"), std::nullopt);
  EXPECT_EQ(rows_before_line(text, {0, 0, 0, 3}, Wrapping::words, "HEADING"), std::nullopt);
}

tui::Buffer pane_of(const AppState& state, const std::string& text) {
  tui::Buffer buffer(tui::Rect{0, 0, 24, 5});
  draw_detail_pane(buffer, buffer.area(), state, DetailPage{"Inspector", text});
  return buffer;
}

TEST(DetailPane, AnOverscrolledOffsetShowsTheEndAndTheBorderSaysWhere) {
  AppState state = state_for(frame_document(), View::topics);
  state.detail_scroll = 500;
  EXPECT_GRID(pane_of(state, five_lines), {
                                              "╭Inspector─────────────╮",
                                              "│three                 │",
                                              "│four                  │",
                                              "│five                  │",
                                              "╰────────────── 3–5/5 ─╯",
                                          });

  // The Graph's pan stands left of the position.
  state = state_for(frame_document(), View::graph);
  state.pan = 16;
  EXPECT_EQ(pane_of(state, five_lines).row_text(4), "╰─────── → 16 ─ 1–3/5 ─╯");
  EXPECT_EQ(pane_of(state, "one").row_text(4), "╰─────────────── → 16 ─╯");
}

TEST(BorderNotes, NotesThatDoNotFitAreLeftOutFromTheFirst) {
  tui::Buffer buffer(tui::Rect{0, 0, 16, 3});
  pane_block("", false).render(buffer.area(), buffer);
  draw_border_notes(buffer, buffer.area(), {"→ 8", "10–12/40"}, false);
  EXPECT_EQ(buffer.row_text(2), "╰─── 10–12/40 ─╯");
  tui::Buffer tiny(tui::Rect{0, 0, 8, 3});
  pane_block("", false).render(tiny.area(), tiny);
  draw_border_notes(tiny, tiny.area(), {"10–12/40"}, false);
  EXPECT_EQ(tiny.row_text(2), "╰──────╯");
}

TEST(DetailScroll, MeasuresThePaneOfTheRecordedFrame) {
  AppState state = state_for(frame_document(), View::topics);
  state.record_frame_size({80, 24});
  // Below 100 columns the list has the body until Tab gives it to the detail pane.
  EXPECT_TRUE(detail_inner(state).empty());
  state.detail_focus = true;
  EXPECT_EQ(detail_inner(state), (tui::Rect{1, 3, 78, 18}));
}

}  // namespace
}  // namespace qm
