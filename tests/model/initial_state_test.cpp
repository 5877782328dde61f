#include "model/initial_state.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/documents.hpp"
#include "support/memory_requests.hpp"

namespace qm {
namespace {

using testing::document_of;

nlohmann::json base_document() {
  return {{"entities",
           nlohmann::json::array({{{"id", "node:/amcl"}, {"kind", "node"}, {"name", "/amcl"}},
                                  {{"id", "topic:/scan"}, {"kind", "topic"}, {"name", "/scan"}}})},
          {"current",
           {{"tf", {{"edges", nlohmann::json::array({{{"parent", "map"}, {"child", "odom"}}})}}}}},
          {"runs", nlohmann::json::array(
                       {{{"retained_id", "r1"}, {"status", "passed"}, {"title", "smoke"}},
                        {{"retained_id", "r2"}, {"status", "failed"}, {"title", "soak"}}})}};
}

TEST(InitialState, DefaultsToHealthWithNothingToSave) {
  AppState state = build_initial_state(document_of(base_document()), false, true);
  EXPECT_EQ(state.view, View::health);
  EXPECT_EQ(state.selected_id, "health:summary");
  EXPECT_TRUE(state.truecolour);
  EXPECT_EQ(*state.last_saved_view_state, (ViewState{0, "", "health:summary"}));
}

TEST(InitialState, SelectionPrefixPicksTheView) {
  auto view_for = [](const char* selection) {
    nlohmann::json document = base_document();
    document["selection"] = selection;
    return build_initial_state(document_of(document), false, false);
  };
  EXPECT_EQ(view_for("node:/amcl").view, View::nodes);
  EXPECT_EQ(view_for("node:/amcl").selected_id, "node:/amcl");
  EXPECT_EQ(view_for("frame:odom").view, View::tf);
  EXPECT_EQ(view_for("frame:odom").selected, 1u);
  EXPECT_EQ(view_for("problem:x").view, View::topics);
  EXPECT_EQ(view_for("").view, View::topics);
}

TEST(InitialState, ResultSelectionOpensResults) {
  nlohmann::json document = base_document();
  document["result_selection"] = "run:r2";
  document["selection"] = "node:/amcl";
  AppState state = build_initial_state(document_of(document), false, false);
  EXPECT_EQ(state.view, View::results);
  EXPECT_EQ(state.selected, 1u);
  EXPECT_EQ(state.selected_result_id, std::optional<std::string>("run:r2"));
  EXPECT_EQ(state.selected_id, "node:/amcl");

  // An unknown result falls back to Health and then to the entity selection.
  document["result_selection"] = "run:gone";
  AppState fallback = build_initial_state(document_of(document), false, false);
  EXPECT_EQ(fallback.view, View::nodes);
  EXPECT_FALSE(fallback.selected_result_id);
}

TEST(InitialState, ViewStateWinsWithinItsLimits) {
  auto with_view_state = [](nlohmann::json view_state) {
    nlohmann::json document = base_document();
    document["selection"] = "node:/amcl";
    document["view_state"] = std::move(view_state);
    return build_initial_state(document_of(document), true, false);
  };
  AppState state =
      with_view_state({{"tab", 2}, {"filter", "SC\x1b"}, {"selected_id", "topic:/scan"}});
  EXPECT_EQ(state.view, View::topics);
  EXPECT_EQ(state.filter, "SC�");
  EXPECT_EQ(*state.last_saved_view_state, (ViewState{2, "SC\x1b", "topic:/scan"}));

  // A tab of 10, a 257-byte filter, a 513-byte id or a missing member ignore it as a whole.
  EXPECT_EQ(with_view_state({{"tab", 10}, {"filter", ""}, {"selected_id", ""}}).view, View::nodes);
  EXPECT_EQ(
      with_view_state({{"tab", 2}, {"filter", std::string(257, 'a')}, {"selected_id", ""}}).view,
      View::nodes);
  EXPECT_EQ(
      with_view_state({{"tab", 2}, {"filter", std::string(256, 'a')}, {"selected_id", ""}}).view,
      View::topics);
  EXPECT_EQ(
      with_view_state({{"tab", 2}, {"filter", ""}, {"selected_id", std::string(513, 'a')}}).view,
      View::nodes);
  EXPECT_EQ(with_view_state({{"tab", -1}, {"filter", ""}, {"selected_id", ""}}).view, View::nodes);
  EXPECT_EQ(with_view_state({{"tab", 2.0}, {"filter", ""}, {"selected_id", ""}}).view, View::nodes);
  EXPECT_EQ(with_view_state({{"tab", 2}, {"filter", ""}}).view, View::nodes);

  // An id that is not listed waits in views 1-6 and is simply remembered elsewhere.
  EXPECT_EQ(with_view_state({{"tab", 3}, {"filter", ""}, {"selected_id", "node:/late"}})
                .pending_selection,
            std::optional<std::string>("node:/late"));
  AppState project = with_view_state({{"tab", 9}, {"filter", ""}, {"selected_id", "node:/late"}});
  EXPECT_FALSE(project.pending_selection);
  EXPECT_EQ(project.selected_id, "node:/late");
}

}  // namespace
}  // namespace qm
