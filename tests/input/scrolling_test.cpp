#include "input/scrolling.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <optional>

#include "input/dispatch_document.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"
#include "ui/assistant_overlay.hpp"
#include "ui/detail_scroll.hpp"
#include "ui/overlays.hpp"

namespace qm {
namespace {

using testing::dispatch_document;
using testing::key;
using testing::press;
using testing::state_of;
using tui::KeyCode;

// The Topics view of the dispatch session at 60 × 12 with the detail pane focused: six rows show
// a topic's detail, which is longer.
AppState small_topics() {
  AppState state = state_of(dispatch_document(), View::topics);
  state.record_frame_size({60, 12});
  state.detail_focus = true;
  return state;
}

TEST(DetailScrolling, PageDownStopsAtTheEndAndPageUpMovesAtOnce) {
  AppState state = small_topics();
  const uint16_t end = detail_extent(state).last_offset();
  ASSERT_GT(end, 12);
  for (int i = 0; i < 30; ++i) {
    handle_key(state, key(KeyCode::page_down));
  }
  EXPECT_EQ(state.detail_scroll, end);
  handle_key(state, key(KeyCode::page_up));
  EXPECT_EQ(state.detail_scroll, end - 12);

  // A text that fits does not scroll at all, by page or by line.
  AppState empty = state_of(nlohmann::json::object(), View::graph);
  press(empty, {key(KeyCode::page_down), key(KeyCode::down), key(KeyCode::down)});
  EXPECT_EQ(empty.detail_scroll, 0);
}

struct HelpKeyCase {
  const char* note;
  tui::KeyEvent key;
  uint16_t before;
  // The offset after the key; none when the key closes help.
  std::optional<int> after;
};

class HelpKeys : public ::testing::TestWithParam<HelpKeyCase> {};

// At 80 × 24 the help text is longer than its box.
TEST_P(HelpKeys, ScrollOrClose) {
  const HelpKeyCase& c = GetParam();
  AppState state = state_of(dispatch_document(), View::topics);
  state.record_frame_size({80, 24});
  const uint16_t end = help_extent(state.frame_area(), state.view).last_offset();
  ASSERT_GT(end, 12);
  handle_key(state, key(U'?'));
  state.help_scroll = c.before;
  const View view = state.view;
  EXPECT_TRUE(handle_key(state, c.key));
  EXPECT_EQ(state.help_open, c.after.has_value());
  if (c.after) {
    EXPECT_EQ(state.help_scroll, *c.after < 0 ? end + *c.after + 1 : *c.after);
  }
  // The key does nothing else.
  EXPECT_EQ(state.view, view);
  EXPECT_EQ(state.selected, 0u);
}

// Negative offsets count from the end: -1 is the end itself.
INSTANTIATE_TEST_SUITE_P(
    Table, HelpKeys,
    ::testing::Values(HelpKeyCase{"down", key(KeyCode::down), 0, 1},
                      HelpKeyCase{"up_at_the_top", key(KeyCode::up), 0, 0},
                      HelpKeyCase{"page_down_past_the_end", key(KeyCode::page_down), 900, -1},
                      HelpKeyCase{"page_up_from_past_the_end", key(KeyCode::page_up), 900, -13},
                      HelpKeyCase{"digit_closes", key(U'2'), 4, std::nullopt}),
    [](const ::testing::TestParamInfo<HelpKeyCase>& param_info) {
      return std::string(param_info.param.note);
    });

TEST(HelpKeys, OpeningAgainStartsAtTheTop) {
  AppState state = state_of(dispatch_document());
  state.record_frame_size({80, 24});
  press(state, {key(U'?'), key(KeyCode::page_down), key(U'x'), key(U'?')});
  EXPECT_TRUE(state.help_open);
  EXPECT_EQ(state.help_scroll, 0);
}

TEST(AssistantScrolling, StopsAtTheEndOfTheBody) {
  AppState state = state_of(dispatch_document());
  state.record_frame_size({60, 20});
  handle_key(state, key(U'A'));
  ASSERT_TRUE(state.assistant.open);
  for (int i = 0; i < 40; ++i) {
    handle_key(state, key(KeyCode::page_down));
  }
  const uint16_t end = state.assistant.scroll;
  EXPECT_GT(end, 0);
  EXPECT_EQ(end, assistant_extent(state.frame_area(), state).last_offset());
  handle_key(state, key(U'k'));
  EXPECT_EQ(state.assistant.scroll, end < 8 ? 0 : end - 8);
}

struct PanCase {
  const char* note;
  View view;
  tui::KeyEvent key;
  // The pan after the key, from 24.
  uint16_t after;
};

class PanKeys : public ::testing::TestWithParam<PanCase> {};

TEST_P(PanKeys, OnlyGraphPansAndANewRowOrViewStartsUnpanned) {
  const PanCase& c = GetParam();
  AppState state = state_of(dispatch_document(), c.view);
  state.pan = 24;
  handle_key(state, c.key);
  EXPECT_EQ(state.pan, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PanKeys,
    ::testing::Values(PanCase{"graph_right", View::graph, key(KeyCode::right), 32},
                      PanCase{"graph_left", View::graph, key(KeyCode::left), 16},
                      PanCase{"topics_right", View::topics, key(KeyCode::right), 24},
                      PanCase{"graph_next_row", View::graph, key(U'j'), 0},
                      PanCase{"graph_same_row", View::graph, key(U'k'), 24},
                      PanCase{"graph_other_view", View::graph, key(U'3'), 0},
                      PanCase{"graph_page_down", View::graph, key(KeyCode::page_down), 24}),
    [](const ::testing::TestParamInfo<PanCase>& param_info) {
      return std::string(param_info.param.note);
    });

TEST(PanKeys, GoingBackToAnotherViewStartsUnpanned) {
  AppState state = state_of(dispatch_document(), View::graph);
  press(state, {key(KeyCode::tab), key(KeyCode::enter)});
  ASSERT_EQ(state.view, View::nodes);
  state.pan = 8;
  handle_key(state, key(KeyCode::backspace));
  EXPECT_EQ(state.view, View::graph);
  EXPECT_EQ(state.pan, 0);
}

}  // namespace
}  // namespace qm
