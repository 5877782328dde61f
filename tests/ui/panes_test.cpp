#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "frame_fixture.hpp"
#include "tui/paragraph.hpp"
#include "tui/wrap.hpp"
#include "ui/detail_lines.hpp"
#include "ui/detail_pane.hpp"
#include "ui/list_pane.hpp"
#include "ui/palette.hpp"
#include "ui/view_switcher.hpp"

namespace qm {
namespace {

using ui_test::column_of;
using ui_test::draw;
using ui_test::frame_document;
using ui_test::numbered_rows;
using ui_test::select_row;
using ui_test::state_for;

TEST(ListPane, ScrollingKeepsTheSelectionOnTheLastLine) {
  AppState state = numbered_rows(25);
  select_row(state, 12);
  tui::Buffer buffer(tui::Rect{0, 0, 30, 12});
  draw_list_pane(buffer, buffer.area(), state, false);
  EXPECT_EQ(first_visible_row(12, 12), 3u);
  EXPECT_GRID(buffer, {
                          "╭Changes · 13/25 ────────────╮",
                          "│  row 3                     │",
                          "│  row 4                     │",
                          "│  row 5                     │",
                          "│  row 6                     │",
                          "│  row 7                     │",
                          "│  row 8                     │",
                          "│  row 9                     │",
                          "│  row 10                    │",
                          "│  row 11                    │",
                          "│› row 12                    │",
                          "╰────────────────────────────╯",
                      });
  for (uint16_t x = 1; x < 29; ++x) {
    EXPECT_EQ(buffer.at(x, 10).bg, palette::bg_selection) << x;
    EXPECT_NE(buffer.at(x, 9).bg, palette::bg_selection) << x;
  }
  EXPECT_CELLS(buffer, {{0, 10, tui::bg(tui::Color{})}, {0, 0, tui::fg(palette::accent)}});

  EXPECT_EQ(first_visible_row(8, 12), 0u);
  EXPECT_EQ(first_visible_row(9, 12), 0u);
  EXPECT_EQ(first_visible_row(10, 12), 1u);
  EXPECT_EQ(first_visible_row(40, 2), 0u);
}

TEST(ListPane, TitlesAndTheEmptySearch) {
  AppState state = state_for(frame_document(), View::results);
  EXPECT_EQ(list_title(state, false), "Results · 1/4 all");
  state.results_status_filter = ResultsFilter::blocked;
  EXPECT_EQ(list_title(state, true), "Results · 1/4 blocked · Tab detail");
  EXPECT_EQ(list_title(state_for(frame_document(), View::nodes), true),
            "Nodes · 1/5  · Tab detail");

  state = state_for(frame_document(), View::results, "no such run");
  ASSERT_TRUE(state.rows.empty());
  EXPECT_EQ(list_title(state, false), "Results · 0/0 all");
  tui::Buffer buffer(tui::Rect{0, 0, 50, 4});
  draw_list_pane(buffer, buffer.area(), state, false);
  EXPECT_EQ(buffer.row_text(1), "│ No matches in this view. Esc clears search.    │");
  EXPECT_CELLS(buffer, {{2, 1, tui::fg(palette::text_muted)}});

  state.filter.clear();
  buffer = tui::Buffer(tui::Rect{0, 0, 50, 4});
  draw_list_pane(buffer, buffer.area(), state, false);
  EXPECT_EQ(buffer.row_text(1), "│" + std::string(48, ' ') + "│");

  state.results_status_filter = ResultsFilter::unavailable;
  EXPECT_EQ(empty_list_text(state),
            " Nothing with status unavailable. s cycles the status filter.");
}

// `count` border lines.
std::string rule(std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    out += "─";
  }
  return out;
}

TEST(ListPane, TheBottomBorderNamesASortedOrder) {
  const struct {
    View view;
    ListOrder order;
    std::string bottom;
  } cases[] = {
      {View::topics, ListOrder::document, "╰" + rule(28) + "╯"},
      {View::topics, ListOrder::rate, "╰" + rule(14) + " order: rate ─╯"},
      {View::nodes, ListOrder::endpoints, "╰" + rule(9) + " order: endpoints ─╯"},
      // Graph lists the topics too but is never sorted.
      {View::graph, ListOrder::rate, "╰" + rule(28) + "╯"},
  };
  for (const auto& c : cases) {
    AppState state = state_for(frame_document(), c.view);
    state.list_orders[view_index(c.view)] = c.order;
    tui::Buffer buffer(tui::Rect{0, 0, 30, 5});
    draw_list_pane(buffer, buffer.area(), state, false);
    EXPECT_EQ(buffer.row_text(4), c.bottom) << view_name(c.view) << " " << list_order_name(c.order);
  }
}

TEST(DetailPane, TitlesFollowTheViewAndRow) {
  AppState state = state_for(frame_document(), View::health);
  EXPECT_EQ(detail_page(state).title, "System at a glance");
  select_row(state, 2);
  EXPECT_EQ(detail_page(state).title, "Problem · y copies the check");
  state.raw_view = true;
  EXPECT_EQ(detail_page(state).title, "Raw evidence");

  state = state_for(frame_document(), View::results);
  EXPECT_EQ(detail_page(state).title, "Run");
  select_row(state, 1);
  EXPECT_EQ(detail_page(state).title, "Stage");
  EXPECT_EQ(detail_page(state_for(frame_document(), View::capture)).title, "Capture");
  EXPECT_EQ(detail_page(state_for(frame_document(), View::playback)).title, "Playback");
  EXPECT_EQ(detail_page(state_for(frame_document(), View::tf)).title, "Inspector · PgUp/PgDn");
}

constexpr std::string_view long_line =
    "CONNECTIONS  /amcl ──▶ /scan ──▶ /lidar_driver and a long tail that runs past the border";

tui::Buffer detail_of(const AppState& state, std::string_view text, uint16_t width = 40,
                      uint16_t height = 6) {
  tui::Buffer buffer(tui::Rect{0, 0, width, height});
  draw_detail_pane(buffer, buffer.area(), state,
                   DetailPage{detail_page(state).title, std::string(text)});
  return buffer;
}

TEST(DetailPane, WrapsEverywhereButGraphWherePanShiftsTheText) {
  AppState state = state_for(frame_document(), View::topics);
  EXPECT_GRID(detail_of(state, long_line), {
                                               "╭Inspector · PgUp/PgDn─────────────────╮",
                                               "│CONNECTIONS  /amcl ──▶ /scan ──▶      │",
                                               "│/lidar_driver and a long tail that    │",
                                               "│runs past the border                  │",
                                               "│                                      │",
                                               "╰──────────────────────────────────────╯",
                                           });
  // Three more lines make six rows, two more than the pane shows.
  state.detail_scroll = 2;
  EXPECT_EQ(detail_of(state, std::string(long_line) + "\n1\n2\n3").row_text(1),
            "│runs past the border                  │");

  state = state_for(frame_document(), View::graph);
  const std::string text = std::string(long_line) + "\nsecond\nthird";
  EXPECT_GRID(detail_of(state, text), {
                                          "╭Inspector · PgUp/PgDn─────────────────╮",
                                          "│CONNECTIONS  /amcl ──▶ /scan ──▶ /lida│",
                                          "│second                                │",
                                          "│third                                 │",
                                          "│                                      │",
                                          "╰──────────────────────────────────────╯",
                                      });
  state.pan = 40;
  state.detail_scroll = 0;
  EXPECT_EQ(detail_of(state, text).row_text(1), "│driver and a long tail that runs past │");
  const std::string longer = text + "\nfourth\nfifth";
  state.detail_scroll = 1;
  EXPECT_EQ(detail_of(state, longer).row_text(1), "│                                      │");
  EXPECT_EQ(detail_of(state, longer).row_text(2), "│                                      │");
}

TEST(DetailPane, LinesAreStyledByShapeUnlessRaw) {
  AppState state = state_for(frame_document(), View::capture);
  tui::Buffer buffer = detail_of(state, "LAST EXPORT  topic:/scan\nstatus: passed");
  // Without a list the detail pane has the focus: an accent border.
  EXPECT_CELLS(buffer, {{1, 1, tui::fg(palette::accent_soft).bold()},
                        {0, 0, tui::fg(palette::accent)},
                        {column_of(buffer, 2, "passed"), 2, tui::fg(palette::ok)}});

  state.raw_view = true;
  buffer = detail_of(state, "LAST EXPORT  topic:/scan\nstatus: passed");
  EXPECT_TRUE(buffer.row_text(0).starts_with("╭Raw evidence─"));
  EXPECT_CELLS(buffer, {{1, 1, tui::fg(tui::Color{}).not_bold()}});
}

TEST(DetailPane, ChangedFieldLinesAreWarningsOnlyInTheChangesDetail) {
  const struct {
    View view;
    bool raw;
    tui::Style key;
    tui::Style value;
  } cases[] = {
      {View::changes, false, tui::fg(palette::warn), tui::fg(palette::warn)},
      // Elsewhere the same shape is an ordinary key-value line.
      {View::topics, false, tui::fg(palette::text_muted), tui::fg(palette::text_bright)},
      {View::changes, true, tui::fg(tui::Color{}), tui::fg(tui::Color{})},
  };
  for (const auto& c : cases) {
    AppState state = state_for(frame_document(), c.view);
    state.raw_view = c.raw;
    const tui::Buffer buffer = detail_of(state, "CHANGED FIELDS\n- lifespan: 5\n~ a: 1 → 2");
    EXPECT_CELLS(buffer, {{1, 2, c.key},
                          {column_of(buffer, 2, ":"), 2, c.key},
                          {column_of(buffer, 2, "5"), 2, c.value},
                          {1, 3, c.key},
                          {column_of(buffer, 3, "2"), 3, c.value}});
  }
}

TEST(DetailLines, SplitsAtLineFeedsOnDemand) {
  const DetailText text("first\n\nthird\n");
  EXPECT_EQ(text.line(2), "third");
  EXPECT_EQ(text.line(0), "first");
  EXPECT_EQ(text.line(1), "");
  EXPECT_EQ(text.line(3), std::nullopt);
  EXPECT_EQ(DetailText("").line(0), std::nullopt);
  EXPECT_EQ(DetailText("\n").line(0), "");
  EXPECT_EQ(DetailText("\n").line(1), std::nullopt);
  EXPECT_EQ(DetailText("a\nb").line(1), "b");
  EXPECT_EQ(DetailText("a\nb").line(2), std::nullopt);

  // A window ends with the text.
  const DetailLines window(text, 1, 5, DetailLines::Styling::plain);
  EXPECT_EQ(window.size(), 2u);
  EXPECT_EQ(window.text(1), "third");
  EXPECT_EQ(DetailLines(text, 7, 5, DetailLines::Styling::plain).size(), 0u);

  // A group title is told by the line after it, even when that line is past the window.
  const DetailText group("Parameters\n  use_sim_time: false");
  EXPECT_EQ(DetailLines(group, 0, 1, DetailLines::Styling::by_shape).styled(0),
            tui::Line("Parameters", tui::fg(palette::text_muted).bold()));
  EXPECT_EQ(DetailLines(group, 0, 1, DetailLines::Styling::plain).styled(0),
            tui::Line("Parameters"));
}

TEST(DetailLines, WrappedStartSkipsWholeLinesThenRows) {
  // Rows at width 10: "aaaa bbbb cccc" takes 2, "" 1, "dd" 1.
  const DetailText text("aaaa bbbb cccc\n\ndd");
  EXPECT_EQ(wrapped_start(text, 0, 10), (WrappedStart{0, 0}));
  EXPECT_EQ(wrapped_start(text, 1, 10), (WrappedStart{0, 1}));
  EXPECT_EQ(wrapped_start(text, 2, 10), (WrappedStart{1, 0}));
  EXPECT_EQ(wrapped_start(text, 3, 10), (WrappedStart{2, 0}));
  EXPECT_EQ(wrapped_start(text, 9, 10), (WrappedStart{3, 0}));
  EXPECT_EQ(wrapped_start(text, 9, 0), (WrappedStart{0, 0}));
}

TEST(DetailPane, ScrollingALongTextShowsTheRowsAtTheOffset) {
  std::string text;
  for (int i = 0; i < 20000; ++i) {
    text += "line " + std::to_string(i) + (i % 2 == 0 ? " with a tail long enough to wrap" : "");
    text += '\n';
  }
  AppState state = state_for(frame_document(), View::topics);
  // Each even line takes two rows at 24 columns, so row 10,000 starts line 6,666's second row.
  state.detail_scroll = 10000;
  tui::Buffer buffer = detail_of(state, text, 26, 6);
  EXPECT_GRID(buffer, {
                          "╭Inspector · PgUp/PgDn───╮",
                          "│long enough to wrap     │",
                          "│line 6667               │",
                          "│line 6668 with a tail   │",
                          "│long enough to wrap     │",
                          "╰──── 10001–10004/30000 ─╯",
                      });
  state = state_for(frame_document(), View::graph);
  state.detail_scroll = 10000;
  EXPECT_EQ(detail_of(state, text, 26, 6).row_text(1), "│line 10000 with a tail l│");

  // The window shows what a paragraph over every line shows.
  std::vector<std::string> all;
  for (int i = 0; i < 300; ++i) {
    all.push_back(std::string(static_cast<std::size_t>(i % 7) * 9, 'x') + " end " +
                  std::to_string(i));
  }
  std::string joined;
  for (const std::string& line : all) {
    joined += line + "\n";
  }
  // An offset past the end shows the last rows.
  state = state_for(frame_document(), View::topics);
  state.raw_view = true;
  const std::size_t last = tui::wrapped_height(tui::PlainLines(all), 18) - 6;
  for (const uint16_t scroll : {0, 1, 5, 77, 400, 2000}) {
    state.detail_scroll = scroll;
    const tui::Buffer pane = detail_of(state, joined, 20, 8);
    tui::Buffer expected(tui::Rect{0, 0, 20, 8});
    tui::Paragraph paragraph;
    paragraph.wrap = tui::Wrap::words;
    paragraph.scroll = static_cast<uint16_t>(std::min<std::size_t>(scroll, last));
    paragraph.render(tui::PlainLines(all), tui::Rect{1, 1, 18, 6}, expected);
    for (uint16_t y = 1; y < 7; ++y) {
      EXPECT_EQ(pane.row_text(y), "│" + expected.row_text(y).substr(1, 18) + "│") << scroll;
    }
  }
}

TEST(TabStrip, MarkersAndTheCurrentTab) {
  tui::Buffer buffer(tui::Rect{0, 0, 40, 1});
  draw_tab_strip(buffer, buffer.area(), View::results);
  EXPECT_EQ(buffer.row_text(0), "‹ 5 TF  6 Changes  7 Results ›          ");
  // The markers, the current tab and another one.
  EXPECT_CELLS(buffer, {{0, 0, tui::fg(palette::text_dim)},
                        {29, 0, tui::fg(palette::text_dim)},
                        {20, 0, tui::fg(palette::on_accent).with_bg(palette::accent).bold()},
                        {8, 0, tui::fg(palette::text_muted)}});

  buffer = tui::Buffer(tui::Rect{0, 0, 60, 1});
  draw_tab_strip(buffer, buffer.area(), View::project);
  EXPECT_EQ(buffer.row_text(0), "‹ 8 Playback  9 Capture  0 Project " + std::string(25, ' '));
}

}  // namespace
}  // namespace qm
