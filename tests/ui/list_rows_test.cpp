#include "ui/list_rows.hpp"

#include <gtest/gtest.h>

#include "frame_fixture.hpp"
#include "ui/palette.hpp"

namespace qm {
namespace {

using ui_test::frame_document;
using ui_test::state_for;

const Row& row_with_id(const AppState& state, std::string_view id) {
  for (const Row& row : state.rows) {
    if (row.id == id) {
      return row;
    }
  }
  ADD_FAILURE() << "no row " << id;
  return state.rows.front();
}

std::optional<RowMarker> marker_of(const AppState& state, std::string_view id) {
  return row_marker(row_context(state), row_with_id(state, id));
}

std::optional<std::string> secondary_of(const AppState& state, std::string_view id) {
  return row_secondary_text(row_context(state), row_with_id(state, id));
}

Row plain_row(std::string_view id, std::string_view label,
              const nlohmann::json& value = nlohmann::json::object()) {
  return Row::owning(id, label, testing::document_of(value)->root);
}

TEST(RowMarkers, HealthRowsShowTheSummaryAndEachSeverity) {
  nlohmann::json document = frame_document();
  document["problems"]["findings"].push_back(
      {{"id", "problem:info:x"}, {"severity", "info"}, {"title", "Informational"}});
  document["problems"]["findings"].push_back({{"id", "problem:odd:x"}, {"title", "No severity"}});
  document["runtime"]["launch"] = {{"state", "failed"}, {"returncode", 2}};
  const AppState state = state_for(document, View::health);
  EXPECT_EQ(marker_of(state, "health:summary"), (RowMarker{"≡", palette::accent_soft}));
  EXPECT_EQ(secondary_of(state, "health:summary"), std::nullopt);
  EXPECT_EQ(marker_of(state, "problem:qos:/camera/color/image_raw"),
            (RowMarker{"✕", palette::bad}));
  EXPECT_EQ(marker_of(state, "problem:unconnected:/detected_dock_pose"),
            (RowMarker{"▲", palette::warn}));
  EXPECT_EQ(marker_of(state, "problem:clock:/controller_server"),
            (RowMarker{"?", palette::text_muted}));
  EXPECT_EQ(marker_of(state, "problem:info:x"), (RowMarker{"·", palette::info}));
  EXPECT_EQ(marker_of(state, "problem:odd:x"), (RowMarker{"·", palette::info}));
  EXPECT_EQ(secondary_of(state, "problem:qos:/camera/color/image_raw"), std::nullopt);
  // The launch's own problem says where it came from.
  const Row& launch = state.rows[1];
  ASSERT_TRUE(launch.id.starts_with("problem:launch:"));
  EXPECT_EQ(row_secondary_text(row_context(state), launch), "launch");
}

TEST(RowMarkers, TopicsByFindingsInfrastructureAndCounts) {
  nlohmann::json document = frame_document();
  // A second, milder finding on the same topic does not soften its marker.
  document["problems"]["findings"].push_back({{"id", "problem:late"},
                                              {"severity", "warning"},
                                              {"target", "topic:/camera/color/image_raw"}});
  // Findings without a string severity do not mark a row.
  document["problems"]["findings"].push_back(
      {{"id", "problem:nosev"}, {"severity", 3}, {"target", "topic:/scan"}});
  const auto add_topic = [&document](const std::string& name, nlohmann::json details) {
    document["entities"].push_back(
        {{"id", "topic:" + name}, {"kind", "topic"}, {"name", name}, {"details", details}});
  };
  add_topic("/parameter_events", nlohmann::json::object());
  add_topic("/odd", {{"subscriber_count", 0}});
  add_topic("/vague", {{"publisher_count", -1}, {"subscriber_count", 2}});
  for (const View view : {View::topics, View::graph}) {
    const AppState state = state_for(document, view);
    EXPECT_EQ(marker_of(state, "topic:/camera/color/image_raw"), (RowMarker{"✕", palette::bad}));
    EXPECT_EQ(marker_of(state, "topic:/detected_dock_pose"), (RowMarker{"▲", palette::warn}));
    EXPECT_EQ(marker_of(state, "topic:/rosout"), (RowMarker{"·", palette::text_dim}));
    EXPECT_EQ(marker_of(state, "topic:/parameter_events"), (RowMarker{"·", palette::text_dim}));
    EXPECT_EQ(marker_of(state, "topic:/scan"), (RowMarker{"●", palette::ok}));
    EXPECT_EQ(secondary_of(state, "topic:/scan"), "1→3");
    EXPECT_EQ(
        marker_of(state, "topic:/local_costmap/costmap_raw/updates/with_a_rather_long_suffix"),
        (RowMarker{"○", palette::text_dim}));
    EXPECT_EQ(marker_of(state, "topic:/odd"), (RowMarker{"○", palette::text_dim}));
    EXPECT_EQ(secondary_of(state, "topic:/odd"), std::nullopt);
    EXPECT_EQ(marker_of(state, "topic:/vague"), std::nullopt);
    EXPECT_EQ(secondary_of(state, "topic:/parameter_events"), std::nullopt);
  }

  // No publisher: hollow, with its counts.
  AppState state = state_for(frame_document(), View::topics);
  state.model = show_side(state.model, Side::baseline);
  EXPECT_EQ(row_marker(row_context(state),
                       plain_row("topic:/detected_dock_pose", "x",
                                 {{"details", {{"publisher_count", 0}, {"subscriber_count", 1}}}})),
            (RowMarker{"○", palette::text_dim}));
  // The baseline side ignores the current capture's findings.
  const Row image = plain_row("topic:/camera/color/image_raw", "/camera/color/image_raw",
                              {{"details", {{"publisher_count", 2}, {"subscriber_count", 1}}}});
  EXPECT_EQ(row_marker(row_context(state), image), (RowMarker{"●", palette::ok}));
  EXPECT_EQ(row_secondary_text(row_context(state), image), "2→1");
}

TEST(RowSecondaryText, TopicsShowTheirSampledRate) {
  nlohmann::json document = frame_document();
  for (const std::string name : {"/parameter_events", "/clock"}) {
    document["entities"].push_back({{"id", "topic:" + name}, {"kind", "topic"}, {"name", name}});
  }
  document["current"]["rates"] = {{"window_s", 5},
                                  {"topics",
                                   {{"/scan", {{"mean_rate_hz", 9.96}, {"status", "measured"}}},
                                    {"/rosout", {{"status", "silent"}, {"count", 3}}},
                                    {"/detected_dock_pose", {{"status", "observer_limited"}}},
                                    {"/parameter_events", {{"status", "type_unavailable"}}},
                                    {"/clock", nlohmann::json::object()},
                                    // Not found and without a publisher: the endpoint counts stay.
                                    {"/camera/color/image_raw", {{"status", "not_found"}}}}}};
  const AppState state = state_for(document, View::topics);
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"topic:/scan", "10.0 Hz"},
      {"topic:/rosout", "3 in 5 s"},
      {"topic:/detected_dock_pose", "limited"},
      {"topic:/parameter_events", "type unavailable"},
      {"topic:/clock", "unknown"},
      {"topic:/camera/color/image_raw", "1→1"},
  };
  for (const auto& [id, text] : cases) {
    EXPECT_EQ(secondary_of(state, id), text) << id;
  }
}

TEST(RowMarkers, NodesShowTheCaptureNodeListingAndClockWords) {
  const AppState state = state_for(frame_document(), View::nodes);
  EXPECT_EQ(marker_of(state, "node:/vistrel_48213"), (RowMarker{"·", palette::text_dim}));
  EXPECT_EQ(secondary_of(state, "node:/vistrel_48213"), "capture node");
  EXPECT_EQ(marker_of(state, "node:/amcl"), (RowMarker{"●", palette::ok}));
  EXPECT_EQ(secondary_of(state, "node:/amcl"), "wall");
  EXPECT_EQ(secondary_of(state, "node:/controller_server"), "sim");
  EXPECT_EQ(secondary_of(state, "node:/docking_server"), "?");
  EXPECT_EQ(marker_of(state, "node:/lidar_driver"), (RowMarker{"○", palette::text_dim}));
  EXPECT_EQ(secondary_of(state, "node:/lidar_driver"), "stale");

  // On the baseline side the capture node is the one "/vistrel_" name of the baseline graph.
  AppState baseline = state_for(frame_document(), View::nodes);
  baseline.model = show_side(baseline.model, Side::baseline);
  const RowContext context = row_context(baseline);
  EXPECT_EQ(context.capture_node_id, "node:/vistrel_40001");
  EXPECT_EQ(row_secondary_text(context, plain_row("node:/amcl", "/amcl")), std::nullopt);
}

TEST(RowMarkers, FramesShowMultipleParentsStaticAndRates) {
  const AppState state = state_for(frame_document(), View::tf);
  EXPECT_EQ(marker_of(state, "frame:camera_link"), (RowMarker{"▲", palette::warn}));
  EXPECT_EQ(secondary_of(state, "frame:camera_link"), "static");
  EXPECT_EQ(marker_of(state, "frame:odom"), std::nullopt);
  EXPECT_EQ(secondary_of(state, "frame:odom"), "9.9 Hz");
  EXPECT_EQ(secondary_of(state, "frame:base_link"), "30.0 Hz");
  EXPECT_EQ(secondary_of(state, "frame:map"), std::nullopt);

  // Multi-parent entries may also be plain names.
  nlohmann::json document = frame_document();
  document["current"]["tf"]["multi_parent_frames"] = nlohmann::json::array({"odom", 7});
  const AppState strings = state_for(document, View::tf);
  EXPECT_EQ(marker_of(strings, "frame:odom"), (RowMarker{"▲", palette::warn}));
  EXPECT_EQ(marker_of(strings, "frame:camera_link"), std::nullopt);
}

TEST(RowMarkers, OtherViewsHaveNone) {
  for (const View view : {View::changes, View::results, View::project}) {
    const AppState state = state_for(frame_document(), view);
    ASSERT_FALSE(state.rows.empty());
    EXPECT_EQ(row_marker(row_context(state), state.rows.front()), std::nullopt);
    EXPECT_EQ(row_secondary_text(row_context(state), state.rows.front()), std::nullopt);
  }
}

TEST(ListRowLine, LabelsAreCutToLeaveRoomForMarkerAndSecondaryText) {
  AppState topics = state_for(frame_document(), View::topics);
  const Row& long_topic =
      row_with_id(topics, "topic:/local_costmap/costmap_raw/updates/with_a_rather_long_suffix");
  // 40 columns: 2 for the selection marker, 2 for the row marker, 4 for "2→0" and its gap.
  tui::Line line = list_row_line(topics, long_topic, false, 40);
  EXPECT_EQ(line.plain(), "  ○ /local…ith_a_rather_long_suffix  2→0");
  EXPECT_EQ(line.width(), 40u);
  EXPECT_EQ(line.spans.back(), tui::Span("2→0", tui::fg(palette::text_muted)));

  // Health cuts the end instead.
  const AppState health = state_for(frame_document(), View::health);
  line = list_row_line(health, health.rows[1], true, 30);
  EXPECT_EQ(line.plain(), "› ✕ QoS incompatible on /cam…");
  EXPECT_EQ(line.spans[0], tui::Span("›", tui::fg(palette::accent).bold()));
  EXPECT_EQ(line.spans[2], tui::Span("✕ ", tui::fg(palette::bad)));
  EXPECT_EQ(line.spans[3].style, tui::fg(palette::text_bright).bold());
  line = list_row_line(health, health.rows[1], false, 30);
  EXPECT_EQ(line.spans[0].content, " ");
  EXPECT_EQ(line.spans[3].style, tui::fg(palette::text_base));

  // A leading tag stays whole and the rest keeps its tail.
  const Row tagged =
      plain_row("topic:/x", "[unavailable] /very/long/namespace/of/a/topic/name/scan");
  EXPECT_EQ(list_row_line(topics, tagged, false, 40).plain(),
            "  [unavailable] …e/of/a/topic/name/scan");
  const Row spaced = plain_row("topic:/x", "[not a tag] /very/long/namespace/of/a/topic/name/scan");
  EXPECT_EQ(list_row_line(topics, spaced, false, 30).plain(), "  [n…ace/of/a/topic/name/scan");
  // Nothing left for the label still shows the cut.
  EXPECT_EQ(list_row_line(topics, long_topic, false, 6).plain(), "  ○ …2→0");
}

TEST(ListRowLine, StatusWordsTokensAndTreePrefixesAreColoured) {
  const AppState changes = state_for(frame_document(), View::changes);
  tui::Line line = list_row_line(changes, changes.rows[0], false, 60);
  EXPECT_EQ(line.plain(), "  added   /static_tf_camera");
  EXPECT_EQ(line.spans[2], tui::Span("added", tui::fg(palette::ok).bold()));
  EXPECT_EQ(line.spans[3].style, tui::fg(palette::text_base));
  line = list_row_line(changes, changes.rows[1], false, 60);
  EXPECT_EQ(line.spans[2], tui::Span("changed", tui::fg(palette::warn).bold()));
  line = list_row_line(changes, plain_row("node:/x", "moved   /x"), false, 60);
  EXPECT_EQ(line.spans[2], tui::Span("moved   /x", tui::fg(palette::text_base)));

  const AppState results = state_for(frame_document(), View::results);
  line = list_row_line(results, results.rows[0], false, 60);
  EXPECT_EQ(line.plain(), "  [failed] docking bring-up check");
  EXPECT_EQ(line.spans[2], tui::Span("[failed]", tui::fg(palette::bad).bold()));
  line = list_row_line(results, results.rows[3], false, 60);
  EXPECT_EQ(line.plain(), "    [blocked] dock approach");
  EXPECT_EQ(line.spans[3], tui::Span("[blocked]", tui::fg(palette::warn).bold()));

  const AppState tf = state_for(frame_document(), View::tf);
  line = list_row_line(tf, tf.rows[1], false, 40);
  EXPECT_EQ(line.plain(), "    └─ odom                       9.9 Hz");
  EXPECT_EQ(line.spans[2], tui::Span("  └─ ", tui::fg(palette::text_dim)));
  EXPECT_EQ(line.spans[3], tui::Span("odom", tui::fg(palette::text_base)));
}

}  // namespace
}  // namespace qm
