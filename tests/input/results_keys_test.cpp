#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "input/dispatch_document.hpp"
#include "input/experiment_forms.hpp"
#include "input/key_dispatch.hpp"
#include "support/key_events.hpp"
#include "support/row_lists.hpp"
#include "support/state_builder.hpp"
#include "support/temp_dir.hpp"

namespace qm {
namespace {

using testing::dispatch_document;
using testing::ids;
using testing::key;
using testing::lines_of;
using testing::press;
using testing::read_file;
using testing::state_of;
using testing::TempDir;
using tui::KeyCode;

TEST(ResultsKeys, RowsResolveToTheirRunAndAttachSendsItsPosition) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  nlohmann::json document = dispatch_document();
  // A retained id that only starts like another run's key must not be taken for it.
  document["runs"].push_back(
      {{"retained_id", "r"}, {"stages", nlohmann::json::array({{{"label", "y"}}})}});
  AppState state = state_of(document, View::results, channel);
  std::vector<std::optional<std::size_t>> indexes;
  for (std::size_t i = 0; i < state.rows.size(); ++i) {
    state.selected = i;
    indexes.push_back(result_index_of_selection(state));
  }
  // run:r-1, check:r-1:0, check:r-1:1, run:1, check:1:0, run:r, check:r:0
  EXPECT_EQ(indexes, (std::vector<std::optional<std::size_t>>{0, 0, 0, 1, 1, 2, 2}));
  state.selected = state.rows.size();
  EXPECT_EQ(result_index_of_selection(state), std::nullopt);

  state = state_of(document, View::results, channel);
  press(state, {key(KeyCode::end), key(U'a')});
  channel->from(state);
  EXPECT_EQ(state.status, "Requested attach_experiment; awaiting backend status");
  press(state, {key(U'g'), key(U'c')});
  EXPECT_EQ(
      lines_of(channel->from(state).text),
      (std::vector<std::string>{
          R"({"action":"select_result","result_id":"check:r:0"})",
          R"({"action":"save_view","filter":"","selected_id":"check:r:0","tab":6})",
          R"({"action":"attach_experiment","entity_id":"","result_index":2,"side":"current"})",
          R"({"action":"run_check","entity_id":"","side":"current"})",
          R"({"action":"cancel_check","entity_id":"","side":"current"})"}));
}

TEST(ResultsKeys, StatusFilterCyclesThroughItsSixValues) {
  AppState state = state_of(dispatch_document(), View::results);
  handle_key(state, key(U's'));
  EXPECT_EQ(state.results_status_filter, ResultsFilter::pass);
  handle_key(state, key(U's'));
  EXPECT_EQ(state.results_status_filter, ResultsFilter::fail);
  // The failed check keeps its run listed above it.
  EXPECT_EQ(ids(state.rows),
            (std::vector<std::string>{"run:r-1", "check:r-1:1", "run:1", "check:1:0"}));
  press(state, {key(U's'), key(U's'), key(U's'), key(U's')});
  EXPECT_EQ(state.results_status_filter, ResultsFilter::all);
  EXPECT_EQ(state.rows.size(), 5u);
}

TEST(ViewKeys, RequestsOfTopicsNodesAndProject) {
  auto channel = std::make_shared<testing::MemoryRequests>();
  AppState state = state_of(dispatch_document(), View::topics, channel);
  for (const char32_t c : {U'i', U't', U'd', U'4', U'd', U'i', U'0', U'R', U'u'}) {
    handle_key(state, key(c));
  }
  std::vector<std::string> actions;
  for (const std::string& line : lines_of(channel->from(state).text)) {
    actions.push_back(nlohmann::json::parse(line)["action"]);
  }
  EXPECT_EQ(actions,
            (std::vector<std::string>{"inspect", "message_tf", "save_view", "config_diff",
                                      "save_view", "recover_experiments", "refresh_task"}));
}

}  // namespace
}  // namespace qm
