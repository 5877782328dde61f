#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/dispatch_document.hpp"
#include "model/reload.hpp"
#include "model/row_selection.hpp"
#include "support/key_events.hpp"
#include "support/row_lists.hpp"
#include "support/state_builder.hpp"
#include "ui/list_pane.hpp"

namespace qm {
namespace {

using nlohmann::json;
using testing::key;
using Ids = std::vector<std::string>;

// The dispatch session with rates, endpoint counts and a third topic that has an error and
// neither a rate nor counts: document order /scan, /cmd_vel, /odom.
json sorted_document(double odom_rate_hz = -1) {
  json document = testing::dispatch_document();
  document["entities"][2]["details"] = {{"publisher_count", 1}, {"subscriber_count", 1}};
  document["entities"][3]["details"] = {{"publisher_count", 1}, {"subscriber_count", 3}};
  document["entities"].push_back({{"id", "topic:/odom"}, {"kind", "topic"}, {"name", "/odom"}});
  document["current"]["rates"]["topics"] = {{"/scan", {{"mean_rate_hz", 30.0}}},
                                            {"/cmd_vel", {{"mean_rate_hz", 20.0}}}};
  if (odom_rate_hz >= 0) {
    document["current"]["rates"]["topics"]["/odom"] = {{"mean_rate_hz", odom_rate_hz}};
  }
  document["problems"]["findings"].push_back({{"id", "problem:odom"},
                                              {"severity", "error"},
                                              {"title", "Odometry jumps"},
                                              {"target", "topic:/odom"}});
  return document;
}

TEST(ListOrderKeys, SCyclesTheOrderKeepingTheSelectedRowAndTheSavedView) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = testing::state_of(sorted_document(), View::topics, channel);
  ASSERT_TRUE(select_row_by_id(state, "topic:/scan"));
  channel->from(state);
  const struct {
    std::optional<std::string> note;
    std::string status;
    Ids ids;
  } presses[] = {
      {"order: problems",
       "Topics with problems first",
       {"topic:/odom", "topic:/scan", "topic:/cmd_vel"}},
      {"order: rate",
       "Topics by rate, lowest first, unmeasured last",
       {"topic:/cmd_vel", "topic:/scan", "topic:/odom"}},
      {"order: endpoints",
       "Topics by endpoints, most first",
       {"topic:/cmd_vel", "topic:/scan", "topic:/odom"}},
      {std::nullopt, "Topics in document order", {"topic:/scan", "topic:/cmd_vel", "topic:/odom"}},
  };
  for (const auto& press : presses) {
    handle_key(state, key(U's'));
    EXPECT_EQ(list_order_note(state), press.note) << press.status;
    EXPECT_EQ(state.status, press.status);
    EXPECT_EQ(testing::ids(state.rows), press.ids) << press.status;
    ASSERT_NE(state.selected_row(), nullptr);
    EXPECT_EQ(state.selected_row()->id, "topic:/scan") << press.status;
    // The order is the viewer's own: the backend's saved view state does not change.
    EXPECT_EQ(channel->from(state).text, "") << press.status;
  }
}

TEST(ListOrderKeys, EachViewKeepsItsOwnOrderAndSearchStillNarrows) {
  AppState state = testing::state_of(sorted_document(), View::topics);
  testing::press(state, {key(U's'), key(U's'), key(U'4')});
  EXPECT_EQ(state.list_order(), ListOrder::document);
  EXPECT_EQ(testing::ids(state.rows), (Ids{"node:/planner", "node:/controller"}));
  testing::press(state, {key(U'3')});
  EXPECT_EQ(list_order_note(state), "order: rate");
  EXPECT_EQ(testing::ids(state.rows), (Ids{"topic:/cmd_vel", "topic:/scan", "topic:/odom"}));
  testing::press(state, {key(U'/'), key(U's'), key(tui::KeyCode::enter)});
  EXPECT_EQ(testing::ids(state.rows), (Ids{"topic:/scan"}));
  // Graph lists the same topics and has no order of its own.
  testing::press(state, {key(U'2'), key(U's')});
  EXPECT_EQ(testing::ids(state.rows), (Ids{"topic:/scan", "topic:/cmd_vel", "topic:/odom"}));
}

TEST(ListOrderKeys, AReloadKeepsTheOrderAndTheSelectedEntity) {
  AppState state = testing::state_of(sorted_document(), View::topics);
  testing::press(state, {key(U's'), key(U's')});
  ASSERT_TRUE(select_row_by_id(state, "topic:/odom"));
  ASSERT_EQ(state.selected, 2u);
  apply_reload(state, testing::document_of(sorted_document(5.0)));
  EXPECT_EQ(testing::ids(state.rows), (Ids{"topic:/odom", "topic:/cmd_vel", "topic:/scan"}));
  EXPECT_EQ(state.selected, 0u);
  EXPECT_EQ(state.selected_id, "topic:/odom");
}

TEST(ListOrderKeys, GoingToAProblemSelectsItsRowInTheSortedList) {
  AppState state = testing::state_of(sorted_document(), View::topics);
  testing::press(state, {key(U's'), key(U's'), key(U'1')});
  ASSERT_TRUE(select_row_by_id(state, "problem:stale-scan"));
  handle_key(state, key(tui::KeyCode::enter));
  EXPECT_EQ(state.view, View::topics);
  EXPECT_EQ(testing::ids(state.rows), (Ids{"topic:/cmd_vel", "topic:/scan", "topic:/odom"}));
  EXPECT_EQ(state.selected, 1u);
  EXPECT_EQ(state.selected_id, "topic:/scan");
}

}  // namespace
}  // namespace qm
