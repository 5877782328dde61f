#include "ui/frame_layout.hpp"

#include <gtest/gtest.h>

#include "ui/hit_test.hpp"
#include "ui/view_switcher.hpp"

namespace qm {
namespace {

using tui::Rect;

TEST(FrameLayout, HundredColumnsIsWideAndNinetyNineNarrow) {
  const FrameLayout wide = compute_frame_layout(Rect{0, 0, 100, 30}, View::topics, false);
  EXPECT_EQ(wide.header, (Rect{0, 0, 100, 1}));
  EXPECT_FALSE(wide.tab_strip);
  ASSERT_TRUE(wide.rail);
  EXPECT_EQ(*wide.rail, (Rect{0, 1, 20, 27}));
  ASSERT_TRUE(wide.list);
  EXPECT_EQ(*wide.list, (Rect{20, 1, 33, 27}));
  EXPECT_EQ(wide.detail, (Rect{53, 1, 47, 27}));
  EXPECT_EQ(wide.status, (Rect{0, 28, 100, 1}));
  EXPECT_EQ(wide.footer, (Rect{0, 29, 100, 1}));

  const FrameLayout narrow = compute_frame_layout(Rect{0, 0, 99, 30}, View::topics, false);
  ASSERT_TRUE(narrow.tab_strip);
  EXPECT_EQ(*narrow.tab_strip, (Rect{0, 1, 99, 1}));
  EXPECT_FALSE(narrow.rail);
  ASSERT_TRUE(narrow.list);
  EXPECT_EQ(*narrow.list, (Rect{0, 2, 99, 26}));
  EXPECT_EQ(narrow.detail.width, 0);

  const FrameLayout focused = compute_frame_layout(Rect{0, 0, 99, 30}, View::topics, true);
  EXPECT_FALSE(focused.list);
  EXPECT_EQ(focused.detail, (Rect{0, 2, 99, 26}));
}

TEST(FrameLayout, ListWidthIsFortyTwoPercentClamped) {
  EXPECT_EQ(list_pane_width(80), 33);
  EXPECT_EQ(list_pane_width(60), 30);
  EXPECT_EQ(list_pane_width(180), 75);
  EXPECT_EQ(list_pane_width(20), 1);
  EXPECT_EQ(list_pane_width(0), 0);
  // No wrap-around of the product on very wide terminals.
  EXPECT_EQ(list_pane_width(2000), 840);
}

TEST(FrameLayout, PlaybackAndCaptureHaveNoList) {
  for (const View view : {View::playback, View::capture}) {
    for (const bool focus : {false, true}) {
      const FrameLayout wide = compute_frame_layout(Rect{0, 0, 120, 30}, view, focus);
      EXPECT_FALSE(wide.list);
      EXPECT_EQ(wide.detail, (Rect{20, 1, 100, 27}));
      const FrameLayout narrow = compute_frame_layout(Rect{0, 0, 90, 30}, view, focus);
      EXPECT_FALSE(narrow.list);
      EXPECT_EQ(narrow.detail, (Rect{0, 2, 90, 26}));
    }
  }
}

TEST(FrameLayout, TinyScreensGiveEmptyRegionsNotFailures) {
  const FrameLayout layout = compute_frame_layout(Rect{0, 0, 5, 2}, View::health, false);
  EXPECT_EQ(layout.header.height, 1);
  EXPECT_EQ(layout.tab_strip->height, 1);
  EXPECT_EQ(layout.status.height, 0);
  EXPECT_EQ(layout.footer.height, 0);
  EXPECT_TRUE(compute_frame_layout(Rect{0, 0, 0, 0}, View::graph, false).header.empty());
}

TEST(TabWindow, KeepsTheCurrentTabWithMarkersForHiddenOnes) {
  // All ten labels need 100 columns, so at 99 the last one is left out.
  TabWindow window = tab_window(View::health, Rect{0, 1, 99, 1});
  EXPECT_FALSE(window.more_left);
  EXPECT_TRUE(window.more_right);
  ASSERT_EQ(window.tabs.size(), 9u);
  EXPECT_EQ(window.tabs[0], (TabSpan{View::health, 0, 10}));
  EXPECT_EQ(window.tabs[1], (TabSpan{View::graph, 10, 9}));

  // From Results the window starts two views earlier, after the "‹".
  window = tab_window(View::results, Rect{0, 1, 40, 1});
  EXPECT_TRUE(window.more_left);
  ASSERT_EQ(window.tabs.size(), 3u);
  EXPECT_EQ(window.tabs[0], (TabSpan{View::tf, 1, 6}));
  EXPECT_EQ(window.tabs[2].view, View::results);
  EXPECT_TRUE(window.more_right);

  // Project is the rightmost tab, so no "›" once it is placed.
  window = tab_window(View::project, Rect{0, 1, 60, 1});
  EXPECT_TRUE(window.more_left);
  EXPECT_EQ(window.tabs.back().view, View::project);
  EXPECT_FALSE(window.more_right);
  EXPECT_EQ(window.tabs.front().view, View::playback);
}

TEST(HitTest, RailLinesAndTabsNameTheirViews) {
  const FrameLayout wide = compute_frame_layout(Rect{0, 0, 120, 36}, View::health, false);
  // The rail's border is on row 1; line 0 below it is the SYSTEM heading, line 1 Health.
  EXPECT_EQ(rail_view_at(wide, {0, 1}), std::nullopt);
  EXPECT_EQ(rail_view_at(wide, {0, 2}), std::nullopt);
  EXPECT_EQ(rail_view_at(wide, {0, 3}), View::health);
  EXPECT_EQ(rail_view_at(wide, {19, 7}), View::tf);
  EXPECT_EQ(rail_view_at(wide, {5, 8}), std::nullopt);
  EXPECT_EQ(rail_view_at(wide, {5, 10}), View::results);
  EXPECT_EQ(rail_view_at(wide, {5, 15}), View::project);
  EXPECT_EQ(rail_view_at(wide, {5, 16}), std::nullopt);
  EXPECT_EQ(rail_view_at(wide, {20, 3}), std::nullopt);
  EXPECT_EQ(tab_view_at(wide, View::health, {5, 1}), std::nullopt);

  // A rail too low for all its lines does not answer for the lines it cannot show.
  const FrameLayout low = compute_frame_layout(Rect{0, 0, 120, 10}, View::health, false);
  EXPECT_EQ(rail_view_at(low, {5, 6}), View::nodes);
  EXPECT_EQ(rail_view_at(low, {5, 7}), std::nullopt);

  const FrameLayout narrow = compute_frame_layout(Rect{0, 0, 40, 20}, View::results, false);
  EXPECT_EQ(rail_view_at(narrow, {5, 2}), std::nullopt);
  EXPECT_EQ(tab_view_at(narrow, View::results, {0, 1}), std::nullopt);  // the "‹"
  EXPECT_EQ(tab_view_at(narrow, View::results, {1, 1}), View::tf);
  EXPECT_EQ(tab_view_at(narrow, View::results, {6, 1}), View::tf);
  EXPECT_EQ(tab_view_at(narrow, View::results, {7, 1}), View::changes);
  EXPECT_EQ(tab_view_at(narrow, View::results, {28, 1}), View::results);
  EXPECT_EQ(tab_view_at(narrow, View::results, {29, 1}), std::nullopt);
  EXPECT_EQ(tab_view_at(narrow, View::results, {7, 2}), std::nullopt);
}

}  // namespace
}  // namespace qm
