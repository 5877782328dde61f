#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/run_loop.hpp"
#include "input/key_dispatch.hpp"
#include "model/initial_state.hpp"
#include "model/row_selection.hpp"
#include "support/documents.hpp"
#include "support/key_events.hpp"

namespace qm {
namespace {

// Thirty topics "/t00"…"/t29", each published by the node "/n", and a node "/m" before it.
nlohmann::json thirty_topics() {
  nlohmann::json entities =
      nlohmann::json::array({{{"id", "node:/m"}, {"kind", "node"}, {"name", "/m"}},
                             {{"id", "node:/n"}, {"kind", "node"}, {"name", "/n"}}});
  nlohmann::json edges = nlohmann::json::array();
  for (int i = 0; i < 30; ++i) {
    const std::string name = (i < 10 ? "/t0" : "/t") + std::to_string(i);
    entities.push_back({{"id", "topic:" + name}, {"kind", "topic"}, {"name", name}});
    edges.push_back(
        {{"direction", "pub"}, {"node", "/n"}, {"topic", name}, {"type", "std_msgs/msg/String"}});
  }
  return {{"schema", "quillmesh.terminal-session/1"},
          {"entities", entities},
          {"current", {{"graph", {{"nodes", {"/m", "/n"}}, {"edges", edges}}}}}};
}

AppState topics_state(uint16_t width, uint16_t height, std::size_t selected) {
  AppState state = build_initial_state(testing::document_of(thirty_topics()), false, false);
  reset_to_view(state, View::topics);
  state.selected = selected;
  sync_selection(state);
  state.record_frame_size({width, height});
  return state;
}

struct Click {
  const char* name;
  uint16_t width;
  bool detail_focus;
  uint16_t column;
  uint16_t row;
  std::size_t selected_after;
};

// Row 25 selected. Wide 120×12: rows 19–25 on lines 2–8 of columns 21–60. Narrow 80×12 with the
// detail focused: no list. Which line holds which row is checked against the drawn frame in the ui
// tests.
const std::vector<Click> clicks = {
    {"wide, the top line of the scrolled list", 120, false, 30, 2, 19},
    {"wide, the list's border", 120, false, 20, 5, 25},
    {"narrow, the detail pane in place of the list", 80, true, 10, 5, 25},
};

TEST(Mouse, AClickSelectsTheListRowDrawnUnderIt) {
  for (const Click& c : clicks) {
    SCOPED_TRACE(c.name);
    AppState state = topics_state(c.width, 12, 25);
    state.detail_focus = c.detail_focus;
    state.detail_scroll = 7;
    handle_event(state, testing::left_click(c.column, c.row));
    EXPECT_EQ(state.view, View::topics);
    EXPECT_EQ(state.selected, c.selected_after);
    EXPECT_EQ(state.selected_id, state.rows[c.selected_after].id);
    // A new row shows its detail from the top; a click that selects nothing leaves it.
    EXPECT_EQ(state.detail_scroll, c.selected_after == 25 ? 7 : 0);
    EXPECT_EQ(state.detail_focus, c.detail_focus);
  }
}

TEST(Mouse, AClickOnTheSelectedRowDoesWhatEnterDoes) {
  // The first click on the second line selects "/t01", the second follows its first connection.
  AppState clicked = topics_state(120, 12, 0);
  handle_event(clicked, testing::left_click(30, 3));
  ASSERT_EQ(clicked.selected, 1u);
  const std::string origin = clicked.selected_id;
  handle_event(clicked, testing::left_click(30, 3));
  EXPECT_EQ(clicked.view, View::nodes);
  EXPECT_EQ(clicked.selected_id, "node:/n");

  AppState pressed = topics_state(120, 12, 1);
  handle_event(pressed, testing::key(tui::KeyCode::enter));
  EXPECT_EQ(clicked.view, pressed.view);
  EXPECT_EQ(clicked.selected_id, pressed.selected_id);
  EXPECT_EQ(clicked.history.size(), pressed.history.size());
  // Backspace returns to where the click followed from.
  handle_event(clicked, testing::key(tui::KeyCode::backspace));
  EXPECT_EQ(clicked.selected_id, origin);
}

struct Wheel {
  const char* name;
  View view;
  uint16_t width;
  bool detail_focus;
  tui::MouseKind kind;
  uint16_t column;
  uint16_t row;
  uint16_t scroll_before;
  uint16_t scroll_after;
  std::size_t selected_after;
};

// Row 5 selected; 120 columns put the detail pane at columns 62–119, 80 columns give it the
// whole width only while it has the focus.
const std::vector<Wheel> wheels = {
    {"down over the detail pane", View::topics, 120, false, tui::MouseKind::wheel_down, 80, 5, 4, 7,
     5},
    {"up over the detail pane", View::topics, 120, false, tui::MouseKind::wheel_up, 80, 5, 4, 1, 5},
    {"down over the list moves the selection", View::topics, 120, false, tui::MouseKind::wheel_down,
     30, 5, 4, 4, 6},
    {"down over the focused narrow detail", View::topics, 80, true, tui::MouseKind::wheel_down, 10,
     5, 4, 7, 5},
    {"down over the Playback detail", View::playback, 120, false, tui::MouseKind::wheel_down, 60, 5,
     0, 3, 5},
};

TEST(Mouse, TheWheelScrollsTheDetailPaneUnderIt) {
  for (const Wheel& w : wheels) {
    SCOPED_TRACE(w.name);
    AppState state = topics_state(w.width, 12, 5);
    state.view = w.view;
    state.detail_focus = w.detail_focus;
    state.detail_scroll = w.scroll_before;
    handle_event(state, testing::mouse(w.kind, w.column, w.row));
    EXPECT_EQ(state.detail_scroll, w.scroll_after);
    EXPECT_EQ(state.selected, w.selected_after);
  }
}

}  // namespace
}  // namespace qm
