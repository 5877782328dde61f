#include "input/rate_history_keys.hpp"

#include <gtest/gtest.h>

#include <string>

#include "dispatch_document.hpp"
#include "input/key_dispatch.hpp"
#include "model/mode.hpp"
#include "model/row_selection.hpp"
#include "support/key_events.hpp"
#include "support/rate_documents.hpp"
#include "support/state_builder.hpp"

namespace qm {
namespace {

using testing::key;
using testing::press;
using tui::KeyCode;

AppState state_in(View view, std::string_view selected) {
  nlohmann::json document = testing::dispatch_document();
  document["entities"].push_back({{"id", "/odd"}, {"kind", "topic"}, {"name", "/odd"}});
  AppState state = testing::state_of(document, view);
  EXPECT_TRUE(select_row_by_id(state, selected));
  return state;
}

TEST(RateHistoryKeys, HOpensThePanelOnATopicRowOnly) {
  const struct {
    View view;
    std::string_view selected;
    std::optional<std::string> opened;
  } cases[] = {
      {View::topics, "topic:/scan", "/scan"},
      {View::graph, "topic:/cmd_vel", "/cmd_vel"},
      // A row that is not a topic's says so instead of doing nothing.
      {View::graph, "/odd", std::nullopt},
      {View::topics, "/odd", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.selected));
    AppState state = state_in(c.view, c.selected);
    press(state, {key(U'h')});
    ASSERT_EQ(state.rate_panel.has_value(), c.opened.has_value());
    if (c.opened) {
      EXPECT_EQ(state.rate_panel->topic, *c.opened);
      EXPECT_EQ(state.rate_panel->cursor, 0u);
      EXPECT_EQ(active_mode(state), Mode::rate_history);
    } else {
      EXPECT_EQ(state.status, "h shows the rate history of a topic; this row is not a topic");
    }
  }
}

TEST(RateHistoryKeys, HWithoutASelectedRowSaysSo) {
  AppState state = testing::state_of(nlohmann::json::object(), View::topics);
  press(state, {key(U'h')});
  EXPECT_FALSE(state.rate_panel);
  EXPECT_EQ(state.status, "No topic selected; h shows a selected topic's rate history");
}

TEST(RateHistoryKeys, TheCursorStaysOnTheKeptSamples) {
  // Keys pressed after opening over three kept samples, and the cursor after them (samples back
  // from the newest).
  const struct {
    std::vector<tui::KeyEvent> keys;
    std::size_t cursor;
  } cases[] = {
      {{key(KeyCode::right)}, 0},  // already on the newest
      {{key(KeyCode::left)}, 1},
      {{key(KeyCode::left), key(KeyCode::left)}, 2},
      {{key(KeyCode::left), key(KeyCode::left), key(KeyCode::left)}, 2},  // the oldest
      {{key(KeyCode::left), key(KeyCode::left), key(KeyCode::right)}, 1},
      {{key(U'x'), key(KeyCode::up), key(U'q')}, 0},  // other keys do nothing, q included
  };
  for (const auto& c : cases) {
    AppState state = state_in(View::topics, "topic:/scan");
    testing::record_series(state.rate_history, "/scan", {10.0, std::nullopt, 9.0});
    press(state, {key(U'h')});
    for (const tui::KeyEvent& pressed : c.keys) {
      EXPECT_TRUE(handle_key(state, pressed));
    }
    ASSERT_TRUE(state.rate_panel);
    EXPECT_EQ(state.rate_panel->cursor, c.cursor);
  }
}

TEST(RateHistoryKeys, EscAndHClose) {
  for (const tui::KeyEvent closing : {key(KeyCode::escape), key(U'h')}) {
    AppState state = state_in(View::topics, "topic:/scan");
    press(state, {key(U'h'), key(KeyCode::left), closing});
    EXPECT_FALSE(state.rate_panel);
    EXPECT_EQ(active_mode(state), Mode::normal);
    // The list keeps its selection: the panel's keys never reached the list.
    EXPECT_EQ(state.selected_id, "topic:/scan");
  }
}

}  // namespace
}  // namespace qm
