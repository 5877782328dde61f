#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "input/navigation.hpp"
#include "support/session_on_disk.hpp"

namespace qm {
namespace {

using testing::SessionOnDisk;

constexpr std::string_view schema = "quillmesh.terminal-session/1";

nlohmann::json node(const std::string& name) {
  return {{"id", "node:" + name}, {"kind", "node"}, {"name", name}};
}

nlohmann::json topic(const std::string& name) {
  return {{"id", "topic:" + name}, {"kind", "topic"}, {"name", name}};
}

nlohmann::json edge(const std::string& node_name, const std::string& topic_name,
                    const std::string& direction) {
  return {{"node", node_name},
          {"topic", topic_name},
          {"direction", direction},
          {"type", "std_msgs/msg/String"}};
}

nlohmann::json document_with(nlohmann::json entities, nlohmann::json edges) {
  return {{"schema", schema},
          {"entities", std::move(entities)},
          {"current", {{"label", "bench"}, {"graph", {{"edges", std::move(edges)}}}}}};
}

TEST(Reload, EachReloadFreesThePreviousDocument) {
  SessionOnDisk session(document_with(nlohmann::json::array({node("/a"), topic("/t")}),
                                      nlohmann::json::array({edge("/a", "/t", "pub")})));
  AppState& state = session.state;
  reset_to_view(state, View::nodes);
  std::vector<std::weak_ptr<const Document>> documents;
  for (long i = 1; i <= 20; ++i) {
    documents.push_back(state.model.document);
    session.rewrite(document_with(nlohmann::json::array({node("/a"), topic("/t")}),
                                  nlohmann::json::array({edge("/a", "/t", "pub")})),
                    1000 + i);
    ASSERT_TRUE(session.watch.check(state));
  }
  EXPECT_EQ(state.rows.size(), 1u);
  EXPECT_EQ(state.selected_id, "node:/a");
  for (const auto& document : documents) {
    EXPECT_TRUE(document.expired());
  }
}

TEST(Reload, TouchInvalidDeletedAndRecreated) {
  const nlohmann::json document =
      document_with(nlohmann::json::array({node("/a")}), nlohmann::json::array());
  SessionOnDisk session(document);
  AppState& state = session.state;
  EXPECT_FALSE(session.watch.check(state));

  // Touching the file reloads it even though nothing else changed.
  session.rewrite(document, 1001);
  EXPECT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.status, "");

  // A broken document is refused once and everything is kept.
  session.rewrite_text("{\"schema\": ", 1002);
  EXPECT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.status,
            "Refresh rejected; retaining previous capture: syntax error while parsing value - "
            "unexpected end of input; expected '[', '{', or a literal at line 1 column 11");
  EXPECT_TRUE(state.keep_status);
  EXPECT_EQ(state.model.entities.size(), 1u);
  EXPECT_FALSE(session.watch.check(state));

  // A deleted file is refused once, not on every turn; recreating it reloads.
  std::filesystem::remove(session.path);
  EXPECT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.status,
            "Refresh rejected; retaining previous capture: No such file or directory (os error 2)");
  EXPECT_FALSE(session.watch.check(state));
  EXPECT_FALSE(session.watch.check(state));

  session.rewrite(
      document_with(nlohmann::json::array({node("/a"), node("/b")}), nlohmann::json::array()),
      1003);
  EXPECT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.model.entities.size(), 2u);
  // The successful reload removes the earlier refusal.
  EXPECT_EQ(state.status, "");
  EXPECT_FALSE(state.keep_status);
}

TEST(Reload, TheBackendsRewriteEndsTheWaitForIt) {
  const nlohmann::json document =
      document_with(nlohmann::json::array({node("/a")}), nlohmann::json::array());
  const struct {
    std::string status;
    bool broken_document;
    std::string after;
  } cases[] = {
      {"Requested export; awaiting backend status", false, ""},
      {"Requested cancel_check; awaiting backend status", false, ""},
      {"Requested export; awaiting backend status", true, "Refresh rejected"},
      {"Request failed: No space left on device", false, "Request failed"},
      {"Nothing to export here", false, "Nothing to export"},
  };
  for (const auto& c : cases) {
    SessionOnDisk session(document);
    session.state.status = c.status;
    if (c.broken_document) {
      session.rewrite_text("{", 1001);
    } else {
      session.rewrite(document, 1001);
    }
    ASSERT_TRUE(session.watch.check(session.state));
    EXPECT_TRUE(session.state.status.starts_with(c.after)) << c.status;
    EXPECT_EQ(session.state.status.empty(), c.after.empty()) << c.status;
  }
}

TEST(Reload, VanishedSelectionBecomesAPlaceholder) {
  nlohmann::json document =
      document_with(nlohmann::json::array({node("/a"), node("/b")}), nlohmann::json::array());
  document["selection"] = "node:/b";
  SessionOnDisk session(document);
  AppState& state = session.state;
  ASSERT_EQ(state.view, View::nodes);
  ASSERT_EQ(state.selected_id, "node:/b");

  session.rewrite(document_with(nlohmann::json::array({node("/a")}), nlohmann::json::array()),
                  1001);
  ASSERT_TRUE(session.watch.check(state));
  ASSERT_EQ(state.rows.size(), 2u);
  EXPECT_EQ(state.rows[0].label, "[unavailable] /b");
  EXPECT_EQ(state.rows[0].id, "node:/b");
  EXPECT_TRUE(is_true(member(*state.rows[0].value, "observation_unavailable")));
  EXPECT_EQ(state.selected, 0u);
  EXPECT_EQ(state.selected_id, "node:/b");
  EXPECT_EQ(state.status, "node:/b absent from latest capture; prior selection retained");

  // Without a graph in the new capture there is nothing to compare with: no placeholder.
  session.rewrite(
      nlohmann::json{{"schema", schema}, {"entities", nlohmann::json::array({node("/a")})}}, 1002);
  ASSERT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.rows.size(), 1u);
  EXPECT_EQ(state.selected_id, "node:/a");
}

// A vanished node that had connections takes them along: no connection stays selected, and the
// message says the node is gone rather than that its connection disappeared.
TEST(Reload, VanishedNodeWithConnectionsLeavesNoConnectionSelected) {
  nlohmann::json document =
      document_with(nlohmann::json::array({node("/a"), node("/b"), topic("/t")}),
                    nlohmann::json::array({edge("/b", "/t", "pub"), edge("/a", "/t", "sub")}));
  document["selection"] = "node:/b";
  SessionOnDisk session(document);
  AppState& state = session.state;
  ASSERT_EQ(state.selected_id, "node:/b");
  ASSERT_EQ(state.connection_cursor, 0u);

  session.rewrite(document_with(nlohmann::json::array({node("/a"), topic("/t")}),
                                nlohmann::json::array({edge("/a", "/t", "sub")})),
                  1001);
  ASSERT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.rows[0].label, "[unavailable] /b");
  EXPECT_EQ(state.status, "node:/b absent from latest capture; prior selection retained");
  EXPECT_EQ(state.connection_cursor, std::nullopt);
}

// The TF rows, their ids and values are made by the model itself, not read from the document,
// so the placeholder must be made before the previous model is gone.
TEST(Reload, VanishedFrameBecomesAPlaceholder) {
  const auto tf_document = [](const nlohmann::json& edges) {
    return nlohmann::json{{"schema", schema},
                          {"selection", "frame:base_link"},
                          {"current", {{"tf", {{"edges", edges}}}}}};
  };
  const nlohmann::json map_odom = {{"parent", "map"}, {"child", "odom"}};
  SessionOnDisk session(
      tf_document({map_odom, {{"parent", "odom"}, {"child", "base_link"}, {"rate_hz", 30.0}}}));
  AppState& state = session.state;
  ASSERT_EQ(state.view, View::tf);
  ASSERT_EQ(state.selected_id, "frame:base_link");

  session.rewrite(tf_document(nlohmann::json::array({map_odom})), 1001);
  ASSERT_TRUE(session.watch.check(state));
  ASSERT_EQ(state.rows.size(), 3u);
  EXPECT_EQ(state.rows[0].id, "frame:base_link");
  EXPECT_EQ(state.rows[0].label, "[unavailable] base_link");
  const Json& value = *state.rows[0].value;
  EXPECT_TRUE(is_true(member(value, "observation_unavailable")));
  EXPECT_TRUE(is_string_equal(member(value, "frame"), "base_link"));
  EXPECT_EQ(array_of(member(value, "edges")).value_or(std::span<const Json>()).size(), 1u);
  EXPECT_EQ(state.selected, 0u);
  EXPECT_EQ(state.status, "frame:base_link absent from latest capture; prior selection retained");
}

TEST(Reload, SelectedConnectionFollowsItsEdge) {
  nlohmann::json entities = nlohmann::json::array({topic("/scan")});
  nlohmann::json document = document_with(
      entities,
      nlohmann::json::array({edge("/lidar", "/scan", "pub"), edge("/amcl", "/scan", "sub")}));
  document["selection"] = "topic:/scan";
  SessionOnDisk session(document);
  AppState& state = session.state;
  ASSERT_EQ(state.selected_id, "topic:/scan");
  state.connection_cursor = 1;

  // The /amcl edge moved to position 0: it stays selected there.
  session.rewrite(document_with(entities, nlohmann::json::array({edge("/amcl", "/scan", "sub"),
                                                                 edge("/lidar", "/scan", "pub")})),
                  1001);
  ASSERT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.connection_cursor, std::optional<std::size_t>(0));
  EXPECT_EQ(state.status, "");

  // It vanished: no connection is selected any more.
  session.rewrite(document_with(entities, nlohmann::json::array({edge("/lidar", "/scan", "pub")})),
                  1002);
  ASSERT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.connection_cursor, std::nullopt);
  EXPECT_EQ(state.status, "Selected connection disappeared; use ↑/↓ to select another");

  // With none selected, none stays selected.
  session.rewrite(document_with(entities, nlohmann::json::array({edge("/lidar", "/scan", "pub")})),
                  1003);
  ASSERT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.connection_cursor, std::nullopt);
}

TEST(Reload, VanishedProblemShowsTheSummary) {
  nlohmann::json document = {
      {"schema", schema},
      {"problems",
       {{"findings", nlohmann::json::array({{{"id", "problem:qos"}, {"title", "Q"}}})}}}};
  SessionOnDisk session(document);
  AppState& state = session.state;
  state.selected = 1;
  state.selected_id = "problem:qos";
  document["problems"]["findings"] = nlohmann::json::array();
  session.rewrite(document, 1001);
  ASSERT_TRUE(session.watch.check(state));
  EXPECT_EQ(state.selected, 0u);
  EXPECT_EQ(state.status, "The selected problem is no longer reported; showing the summary");
}

TEST(Reload, PendingSelectionWaitsForItsRow) {
  nlohmann::json document = {
      {"schema", schema},
      {"view_state", {{"tab", 3}, {"filter", ""}, {"selected_id", "node:/late"}}}};
  SessionOnDisk session(document);
  AppState& state = session.state;
  ASSERT_EQ(state.pending_selection, std::optional<std::string>("node:/late"));

  // Still no capture and no rows: it stays pending.
  session.rewrite(document, 1001);
  ASSERT_TRUE(session.watch.check(state));
  EXPECT_TRUE(state.pending_selection);

  document["entities"] = nlohmann::json::array({node("/early"), node("/late")});
  document["current"] = nlohmann::json::object();
  session.rewrite(document, 1002);
  ASSERT_TRUE(session.watch.check(state));
  EXPECT_FALSE(state.pending_selection);
  EXPECT_EQ(state.selected, 1u);
  EXPECT_EQ(state.selected_id, "node:/late");
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

TEST(Reload, EachLoadedDocumentAddsARateSampleAndAFailedOneNone) {
  auto with_scan_rate = [](double rate) {
    nlohmann::json document = document_with(nlohmann::json::array({topic("/scan")}), {});
    document["current"]["rates"]["topics"]["/scan"] = {{"status", "measured"},
                                                       {"mean_rate_hz", rate}};
    return document;
  };
  testing::SessionOnDisk session(with_scan_rate(10));
  AppState& state = session.state;
  const std::chrono::steady_clock::time_point start{std::chrono::seconds(50)};
  // Each step: what the file becomes and the clock as the reload sees it.
  const struct {
    std::optional<double> rate;  // none: a document that does not parse
    int second;
  } steps[] = {{9.0, 1}, {std::nullopt, 2}, {3.0, 3}};
  long modified = 1001;
  for (const auto& step : steps) {
    if (step.rate) {
      session.rewrite(with_scan_rate(*step.rate), modified++);
    } else {
      session.rewrite_text("{ not json", modified++);
    }
    state.now = start + std::chrono::seconds(step.second);
    ASSERT_TRUE(session.watch.check(state));
  }
  const RateSeries series = state.rate_history.samples("/scan");
  ASSERT_EQ(series.size(), 2u);
  EXPECT_EQ(series.front().rate_hz, 9.0f);
  EXPECT_EQ(series.back().rate_hz, 3.0f);
  EXPECT_EQ(series.back().time_ms - series.front().time_ms, 2000u);
}

}  // namespace
}  // namespace qm
