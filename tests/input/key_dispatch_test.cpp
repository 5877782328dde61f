#include "input/key_dispatch.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "input/dispatch_document.hpp"
#include "input/navigation.hpp"
#include "support/documents.hpp"
#include "support/key_events.hpp"
#include "support/state_builder.hpp"
#include "support/temp_dir.hpp"
#include "ui/message_log_overlay.hpp"

namespace qm {
namespace {

using testing::control_key;
using testing::dispatch_document;
using testing::document_of;
using testing::key;
using testing::lines_of;
using testing::nlohmann_of;
using testing::press;
using testing::read_file;
using testing::state_of;
using testing::TempDir;
using tui::KeyCode;

std::string selected_row_id(const AppState& state) {
  const Row* row = state.selected_row();
  return row != nullptr ? std::string(row->id) : "";
}

TEST(KeyDispatch, ViewKeysWrapAroundAndResetTheView) {
  AppState state = state_of(dispatch_document(), View::project);
  EXPECT_TRUE(handle_key(state, key(U']')));
  EXPECT_EQ(state.view, View::health);
  EXPECT_TRUE(handle_key(state, key(U'[')));
  EXPECT_EQ(state.view, View::project);
  press(state, {key(U']'), key(KeyCode::back_tab)});
  EXPECT_EQ(state.view, View::project);

  handle_key(state, key(U'5'));
  EXPECT_EQ(state.view, View::tf);
  handle_key(state, key(U'0'));
  EXPECT_EQ(state.view, View::project);

  // The current view's digit keeps the view but drops the filter, the focus and the scroll.
  handle_key(state, key(U'3'));
  state.filter = "cmd";
  rebuild_rows(state);
  ASSERT_EQ(state.rows.size(), 1u);
  state.detail_focus = true;
  state.detail_scroll = 7;
  handle_key(state, key(U'3'));
  EXPECT_EQ(state.view, View::topics);
  EXPECT_EQ(state.filter, "");
  EXPECT_EQ(state.rows.size(), 2u);
  EXPECT_FALSE(state.detail_focus);
  EXPECT_EQ(state.detail_scroll, 0);
  EXPECT_TRUE(state.history.empty());
}

TEST(KeyDispatch, HistoryKeepsTheNewest64AndBackspaceOnEmptyDoesNothing) {
  AppState state = state_of(dispatch_document(), View::topics);
  handle_key(state, key(KeyCode::backspace));
  EXPECT_EQ(state.view, View::topics);
  EXPECT_EQ(selected_row_id(state), "topic:/scan");

  for (int i = 0; i < 65; ++i) {
    state.filter = std::to_string(i);
    push_history(state);
  }
  ASSERT_EQ(state.history.size(), 64u);
  EXPECT_EQ(state.history.front().filter, "1");
  EXPECT_EQ(state.history.back().filter, "64");
}

TEST(KeyDispatch, EscReturnsFocusOnlyBelow100Columns) {
  AppState state = state_of(dispatch_document(), View::topics);
  state.filter = "scan";
  state.detail_focus = true;
  state.frame_width = 99;
  handle_key(state, key(KeyCode::escape));
  EXPECT_FALSE(state.detail_focus);
  EXPECT_EQ(state.filter, "scan");

  state.detail_focus = true;
  state.frame_width = 100;
  handle_key(state, key(KeyCode::escape));
  EXPECT_TRUE(state.detail_focus);
  EXPECT_EQ(state.filter, "");
  EXPECT_EQ(state.rows.size(), 2u);
}

TEST(KeyDispatch, MovementKeysStayWithinTheRowsAndScrollBounds) {
  AppState state = state_of(dispatch_document(), View::topics);
  state.detail_scroll = 5;
  handle_key(state, key(KeyCode::up));
  EXPECT_EQ(state.selected, 0u);
  EXPECT_EQ(state.detail_scroll, 0);
  press(state, {key(U'j'), key(KeyCode::down)});
  EXPECT_EQ(selected_row_id(state), "topic:/cmd_vel");
  EXPECT_EQ(state.selected_id, "topic:/cmd_vel");
  handle_key(state, key(KeyCode::home));
  EXPECT_EQ(state.selected_id, "topic:/scan");
  handle_key(state, key(KeyCode::end));
  EXPECT_EQ(state.selected_id, "topic:/cmd_vel");

  handle_key(state, key(KeyCode::page_up));
  EXPECT_EQ(state.detail_scroll, 0);
  // The arrows pan only the Graph.
  handle_key(state, key(KeyCode::right));
  EXPECT_EQ(state.pan, 0);

  // Without rows Down and Up scroll the detail pane, as far as its text reaches: at 100 × 8 it
  // shows three of the empty Graph's lines.
  AppState empty = state_of(nlohmann::json::object(), View::graph);
  empty.record_frame_size({100, 8});
  press(empty, {key(KeyCode::down), key(KeyCode::down)});
  EXPECT_EQ(empty.detail_scroll, 2);
  handle_key(empty, key(U'k'));
  EXPECT_EQ(empty.detail_scroll, 1);
}

TEST(KeyDispatch, DetailFocusMovesTheConnectionCursorAndEnterFollowsIt) {
  AppState state = state_of(dispatch_document(), View::topics);
  handle_key(state, key(KeyCode::down));
  ASSERT_EQ(state.selected_id, "topic:/cmd_vel");
  handle_key(state, key(KeyCode::tab));
  ASSERT_TRUE(state.detail_focus);
  state.detail_scroll = 3;
  press(state, {key(KeyCode::down), key(KeyCode::down)});
  EXPECT_EQ(state.connection_cursor, 1u);
  EXPECT_EQ(state.detail_scroll, 0);
  EXPECT_EQ(state.selected, 1u);

  handle_key(state, key(KeyCode::enter));
  EXPECT_EQ(state.view, View::nodes);
  EXPECT_EQ(state.selected_id, "node:/planner");
  EXPECT_FALSE(state.detail_focus);
  ASSERT_EQ(state.history.size(), 1u);

  handle_key(state, key(KeyCode::backspace));
  EXPECT_EQ(state.view, View::topics);
  EXPECT_EQ(state.selected_id, "topic:/cmd_vel");
  EXPECT_TRUE(state.detail_focus);
  EXPECT_TRUE(state.history.empty());

  // The Graph view moves the cursor as well; /scan has one connection.
  press(state,
        {key(U'2'), key(KeyCode::home), key(KeyCode::tab), key(KeyCode::down), key(KeyCode::down)});
  EXPECT_EQ(state.connection_cursor, 0u);
  handle_key(state, key(KeyCode::enter));
  EXPECT_EQ(state.view, View::nodes);
  EXPECT_EQ(state.selected_id, "node:/planner");
  handle_key(state, key(KeyCode::backspace));
  EXPECT_EQ(state.view, View::graph);
  press(state, {key(U'3'), key(KeyCode::end), key(KeyCode::tab)});

  // A cursor lost by a reload moves onto the first connection.
  state.connection_cursor.reset();
  handle_key(state, key(KeyCode::enter));
  EXPECT_EQ(state.view, View::topics);
  handle_key(state, key(KeyCode::down));
  EXPECT_EQ(state.connection_cursor, 0u);

  // An entity without connections keeps the cursor at 0, and other views scroll instead (Health
  // at 100 × 6 shows one row of its summary).
  AppState lonely =
      state_of(nlohmann::json{{"entities", {{{"id", "node:/a"}, {"kind", "node"}}}}}, View::nodes);
  lonely.detail_focus = true;
  press(lonely, {key(KeyCode::down), key(KeyCode::up)});
  EXPECT_EQ(lonely.connection_cursor, 0u);
  EXPECT_EQ(lonely.detail_scroll, 0);
  handle_key(lonely, key(U'1'));
  lonely.detail_focus = true;
  lonely.record_frame_size({100, 6});
  handle_key(lonely, key(KeyCode::down));
  EXPECT_EQ(lonely.detail_scroll, 1);
}

TEST(KeyDispatch, GoingToEntities) {
  AppState state = state_of(dispatch_document(), View::topics);
  for (const char* unknown : {"health:x", "widget:/scan", "node"}) {
    go_to_entity(state, unknown);
  }
  EXPECT_EQ(state.view, View::topics);
  EXPECT_TRUE(state.history.empty());

  go_to_entity(state, "health:summary");
  EXPECT_EQ(state.view, View::health);
  EXPECT_EQ(selected_row_id(state), "health:summary");
  EXPECT_EQ(state.history.size(), 1u);

  // Health Enter and `g` go to a problem's target.
  handle_key(state, key(KeyCode::down));
  ASSERT_EQ(selected_row_id(state), "problem:stale-scan");
  handle_key(state, key(KeyCode::enter));
  EXPECT_EQ(state.view, View::topics);
  EXPECT_EQ(state.selected_id, "topic:/scan");
  press(state, {key(U'1'), key(KeyCode::end), key(U'g')});
  EXPECT_EQ(state.view, View::nodes);
  EXPECT_EQ(state.status, "node:/ghost is not in the current capture");

  handle_key(state, key(U'b'));
  go_to_entity(state, "frame:/\x1b[2J");
  EXPECT_EQ(state.view, View::tf);
  EXPECT_EQ(state.status, "frame:/\uFFFD[2J is not in the baseline capture");
}

TEST(KeyDispatch, LaunchProblemsOpenTheLogOnlyWhenOneIsRetained) {
  nlohmann::json document = dispatch_document();
  document["runtime"]["launch"] = nlohmann::json{{"state", "failed"}, {"returncode", 1}};
  AppState state = state_of(document, View::health);
  ASSERT_TRUE(handle_key(state, key(KeyCode::down)));
  ASSERT_EQ(nlohmann_of(*state.selected_row()->value)["detector"], "launch");
  for (const tui::KeyEvent& opener : {key(KeyCode::enter), key(U'L')}) {
    handle_key(state, opener);
    EXPECT_EQ(state.view, View::health);
    EXPECT_EQ(state.status, "No retained launch log is available for this session");
  }
}

TEST(KeyDispatch, BaselineSwitch) {
  AppState state = state_of(dispatch_document(), View::nodes);
  handle_key(state, key(U'b'));
  EXPECT_TRUE(state.baseline_shown());
  EXPECT_EQ(state.status, "Viewing baseline capture");
  ASSERT_EQ(state.rows.size(), 1u);
  EXPECT_EQ(state.selected_id, "node:/old_planner");
  handle_key(state, key(U'b'));
  EXPECT_FALSE(state.baseline_shown());
  EXPECT_EQ(state.status, "Viewing current capture");
  EXPECT_EQ(state.rows.size(), 2u);

  nlohmann::json document = dispatch_document();
  document.erase("baseline");
  AppState without = state_of(document, View::nodes);
  handle_key(without, key(U'b'));
  EXPECT_FALSE(without.baseline_shown());
  EXPECT_EQ(without.status,
            "No baseline capture in this session; b switches sides only when one is supplied");
}

// TF rows are made by the model of each side; the selected frame is kept across a switch.
TEST(KeyDispatch, BaselineSwitchKeepsTheSelectedFrame) {
  nlohmann::json document = dispatch_document();
  document["baseline"]["tf"] = document["current"]["tf"];
  AppState state = state_of(document, View::tf);
  handle_key(state, key(KeyCode::down));
  ASSERT_EQ(state.selected_id, "frame:odom");
  for (const bool baseline : {true, false}) {
    handle_key(state, key(U'b'));
    EXPECT_EQ(state.baseline_shown(), baseline);
    ASSERT_EQ(state.rows.size(), 2u);
    EXPECT_EQ(state.selected, 1u);
    EXPECT_EQ(state.selected_id, "frame:odom");
  }
}

TEST(KeyDispatch, PlaybackKeysSendSeeksAndTransportRequests) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  nlohmann::json document = dispatch_document();
  AppState state = state_of(document, View::playback, channel);
  press(state, {key(KeyCode::right), key(U' ')});
  document["runtime"]["playback"]["position_s"] = 3;
  document["runtime"]["playback"]["state"] = "paused";
  state.model = build_model(document_of(document));
  press(state, {key(KeyCode::left), key(U' ')});
  channel->from(state);
  EXPECT_EQ(state.status, "Requested resume; awaiting backend status");
  press(state, {key(U'p'), key(U'x')});
  EXPECT_EQ(lines_of(channel->from(state).text),
            (std::vector<std::string>{
                R"({"action":"seek","entity_id":"","offset_s":59.999,"side":"current"})",
                R"({"action":"pause","entity_id":"","side":"current"})",
                R"({"action":"seek","entity_id":"","offset_s":0.0,"side":"current"})",
                R"({"action":"resume","entity_id":"","side":"current"})",
                R"({"action":"play","entity_id":"","side":"current"})",
                R"({"action":"stop","entity_id":"","side":"current"})"}));
}

TEST(KeyDispatch, SeekRefusals) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  const auto status_after = [&](nlohmann::json playback, KeyCode code) {
    nlohmann::json document = dispatch_document();
    document["runtime"]["playback"] = std::move(playback);
    AppState state = state_of(document, View::playback, channel);
    handle_key(state, key(code));
    channel->from(state);
    return state.status;
  };
  EXPECT_EQ(status_after({{"seek", "yes"}, {"recording", {{"duration_s", 60}}}}, KeyCode::home),
            "Seek unavailable: the owned player has no seek service");
  EXPECT_EQ(status_after({{"seek", true}, {"recording", {{"duration_s", 0}}}}, KeyCode::home),
            "Seek unavailable: the recording duration is unknown");
  EXPECT_EQ(status_after({{"seek", true}, {"recording", {{"duration_s", 60}}}}, KeyCode::right),
            "Position unknown; press Home to seek to the start");
  EXPECT_FALSE(!channel->text.empty());
  EXPECT_EQ(status_after({{"seek", true}, {"recording", {{"duration_s", 60}}}}, KeyCode::home),
            "Requested seek; awaiting backend status");
  EXPECT_EQ(channel->text,
            "{\"action\":\"seek\",\"entity_id\":\"\",\"offset_s\":0.0,\"side\":\"current\"}\n");
}

TEST(KeyDispatch, QuitKeysSaveTheViewStateFirst) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = state_of(dispatch_document(), View::topics, channel);
  EXPECT_FALSE(handle_key(state, key(U'q')));
  EXPECT_FALSE(!channel->from(state).text.empty());

  // A save that failed earlier is retried on `q`.
  channel->failure = "No such file or directory (os error 2)";
  handle_key(state, key(KeyCode::down));
  channel->from(state);
  EXPECT_TRUE(state.status.starts_with("Request failed: "));
  channel->failure.reset();
  EXPECT_FALSE(handle_key(state, key(U'q')));
  EXPECT_EQ(
      channel->from(state).text,
      "{\"action\":\"save_view\",\"filter\":\"\",\"selected_id\":\"topic:/cmd_vel\",\"tab\":2}\n");

  // Ctrl+C in the middle of typing a filter saves the partial filter.
  auto typing_channel = std::make_shared<testing::MemoryRequests>();
  AppState typing = state_of(dispatch_document(), View::topics);
  press(typing, {key(U'/'), key(U's')});
  typing.request_channel = true;
  EXPECT_FALSE(handle_key(typing, control_key(U'c')));
  EXPECT_EQ(
      typing_channel->from(typing).text,
      "{\"action\":\"save_view\",\"filter\":\"s\",\"selected_id\":\"topic:/scan\",\"tab\":2}\n");

  // Ctrl+C wins over help too.
  AppState helping = state_of(dispatch_document());
  helping.help_open = true;
  EXPECT_FALSE(handle_key(helping, control_key(U'c')));
}

TEST(KeyDispatch, ViewStateIsSavedOnlyWhenAKeyChangesIt) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = state_of(dispatch_document(), View::graph, channel);
  handle_key(state, key(U'v'));
  EXPECT_TRUE(state.raw_view);
  press(state, {key(KeyCode::tab), key(U'2')});
  EXPECT_FALSE(!channel->from(state).text.empty());
  press(state, {key(U'3'), key(KeyCode::end), key(KeyCode::end)});
  EXPECT_EQ(lines_of(channel->from(state).text),
            (std::vector<std::string>{
                R"({"action":"save_view","filter":"","selected_id":"topic:/scan","tab":2})",
                R"({"action":"save_view","filter":"","selected_id":"topic:/cmd_vel","tab":2})"}));
  EXPECT_EQ(state.status, "");
}

TEST(KeyDispatch, StatusHelpAndControlInTheNormalMode) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = state_of(dispatch_document(), View::health, channel);
  handle_key(state, key(U'e'));
  EXPECT_EQ(state.status,
            "Export works from Graph, Topics, Nodes, TF or Changes; select an entity there first");
  handle_key(state, key(KeyCode::insert));
  EXPECT_EQ(state.status, "");

  state.status = "Refresh rejected; retaining previous capture: bad";
  state.keep_status = true;
  handle_key(state, key(KeyCode::f5));
  EXPECT_EQ(state.status, "Refresh rejected; retaining previous capture: bad");
  state.keep_status = false;

  // Help is closed by any key, which does nothing else.
  handle_key(state, key(U'?'));
  EXPECT_TRUE(state.help_open);
  EXPECT_TRUE(handle_key(state, key(U'q')));
  EXPECT_FALSE(state.help_open);
  press(state, {key(U'?'), key(U']')});
  EXPECT_FALSE(state.help_open);
  EXPECT_EQ(state.view, View::health);

  // Control is ignored apart from Ctrl+C.
  handle_key(state, control_key(U'r'));
  EXPECT_EQ(channel->from(state).text.empty(), false);
  EXPECT_EQ(state.status, "Requested refresh; awaiting backend status");
  press(state, {key(U'0'), key(U'r')});
  channel->from(state);
  EXPECT_EQ(state.status, "Requested refresh_project; awaiting backend status");
  press(state, {key(U'3'), key(U'e')});
  channel->from(state);
  EXPECT_EQ(state.status, "Requested export; awaiting backend status");
  const std::vector<std::string> lines = lines_of(channel->from(state).text);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], R"({"action":"refresh","entity_id":"health:summary","side":"current"})");
  EXPECT_EQ(lines[4], R"({"action":"export","entity_id":"topic:/scan","side":"current"})");
}

TEST(KeyDispatch, TheMessageLogScrollsWithinItsTextAndAnyOtherKeyClosesIt) {
  AppState state = state_of(dispatch_document(), View::topics);
  state.record_frame_size({80, 24});
  for (int i = 0; i < 40; ++i) {
    note_messages(state.messages, "message " + std::to_string(i), "", "09:00:00");
  }
  const uint16_t last = message_log_extent(state.frame_area(), state.messages).last_offset();
  ASSERT_GT(last, 14);
  const struct {
    tui::KeyEvent key;
    uint16_t scroll;
    bool open;
  } steps[] = {
      {key(U'm'), 0, true},
      {key(KeyCode::down), 1, true},
      {key(U'j'), 2, true},
      {key(KeyCode::page_down), 14, true},
      {key(KeyCode::page_down), last, true},
      {key(KeyCode::page_down), last, true},
      {key(U'k'), static_cast<uint16_t>(last - 1), true},
      {key(KeyCode::page_up), static_cast<uint16_t>(last - 13), true},
      {key(U'3'), static_cast<uint16_t>(last - 13), false},
  };
  for (const auto& step : steps) {
    handle_key(state, step.key);
    EXPECT_EQ(state.messages.scroll, step.scroll);
    EXPECT_EQ(state.messages.open, step.open);
  }
  // The key that closed it did nothing else.
  EXPECT_EQ(state.view, View::topics);
}

TEST(KeyDispatch, EscLeavesEveryOverlay) {
  AppState state = state_of(dispatch_document(), View::project);
  state.palette = PaletteState{};
  handle_key(state, key(KeyCode::escape));
  state.assistant.open = true;
  handle_key(state, key(KeyCode::escape));
  state.form = FormState{};
  handle_key(state, key(KeyCode::escape));
  state.log.open = true;
  handle_key(state, key(KeyCode::escape));
  EXPECT_FALSE(state.palette || state.form || state.assistant.open || state.log.open);
}

}  // namespace
}  // namespace qm
