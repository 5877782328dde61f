#include "views/entity_detail.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model/row_selection.hpp"
#include "support/documents.hpp"

namespace qm {
namespace {

using nlohmann::json;

json topic(std::string_view name, const json& details = json::object()) {
  return {{"id", "topic:" + std::string(name)},
          {"kind", "topic"},
          {"name", name},
          {"details", details}};
}

json node(std::string_view name) {
  return {{"id", "node:" + std::string(name)}, {"kind", "node"}, {"name", name}};
}

json edge(std::string_view node_name, std::string_view topic_name, std::string_view direction) {
  return {{"node", node_name}, {"topic", topic_name}, {"direction", direction}};
}

AppState state_of(const json& document, View view) {
  AppState state;
  state.model = build_model(testing::document_of(document));
  state.view = view;
  rebuild_rows(state);
  return state;
}

// The detail text of `id` in `view` of `document`.
std::string detail_of(const json& document, View view, std::string_view id) {
  AppState state = state_of(document, view);
  EXPECT_TRUE(select_row_by_id(state, id)) << id;
  return entity_page(state, state.selected_row()).text;
}

TEST(GraphDetail, DiagramOfPublishersAndSubscribers) {
  const std::string long_topic = "/camera/color/image_raw/compressed";
  const json document = {
      {"entities", {topic("/scan"), topic("/clock"), topic(long_topic)}},
      {"current",
       {{"graph",
         {{"generated_at", 1700000000.5},
          {"edges",
           {edge("/lidar", "/scan", "pub"), edge("/lidar_backup", "/scan", "pub"),
            edge("/slam", "/scan", "sub"), edge("/sim", "/clock", "sub"),
            edge("/cam", long_topic, "pub")}}}}}}};
  EXPECT_EQ(detail_of(document, View::graph, "topic:/scan"),
            "topic:/scan\n"
            "Graph observed: 1700000000.5 s Unix wall time · discovery completeness unknown\n"
            "Connection 1/3: /lidar  ──▶  /scan\n"
            "Tab + ↑/↓ choose; Enter follows\n"
            "\n"
            "\n"
            "PUBLISHER → TOPIC → SUBSCRIBER\n"
            "\n"
            "[/lidar            ] ─▶ [/scan             ] ─▶ [/slam             ]\n"
            "[/lidar_backup     ] ─▶ [/scan             ]\n"
            "\n"
            "CONNECTIONS (full names)\n"
            "› /lidar  ──▶  /scan\n"
            "  /lidar_backup  ──▶  /scan\n"
            "  /scan  ──▶  /slam\n"
            "\n"
            "Only captured endpoint directions are shown.\n"
            "Tab, ↑/↓ select a connection; Enter follows it.\n"
            "Left/Right pans long graph lines.\n"
            "\n");
  const std::string clock = detail_of(document, View::graph, "topic:/clock");
  EXPECT_NE(clock.find("\n\n" + std::string(25, ' ') + "[/clock            ] ─▶ [/sim  "),
            std::string::npos)
      << clock;
  const std::string compressed = detail_of(document, View::graph, "topic:" + long_topic);
  EXPECT_NE(compressed.find("] ─▶ […ge_raw/compressed]\n"), std::string::npos) << compressed;

  const json unconnected = {{"entities", {topic("/lonely", {{"note", "x"}})}}};
  const std::string lonely = detail_of(unconnected, View::graph, "topic:/lonely");
  EXPECT_NE(lonely.find("Graph observation unavailable · discovery completeness unknown\n"
                        "\nPUBLISHER → TOPIC → SUBSCRIBER\n\n"
                        "No captured connections for this topic.\n"),
            std::string::npos)
      << lonely;
  EXPECT_TRUE(lonely.ends_with("pans long graph lines.\n\nnote: x\n")) << lonely;
}

TEST(TopicDetail, EverySectionInOrder) {
  json scan = topic("/scan", {{"publisher_count", 1}, {"subscriber_count", 0}});
  scan["project_mapping"] = {{"file", "bringup.launch.py"}, {"line", 12}};
  const json document = {{"entities", {scan}},
                         {"message_tf", {{"topic", "/scan"}, {"target", "map"}}},
                         {"current",
                          {{"graph",
                            {{"edges",
                              {{{"node", "/lidar"},
                                {"topic", "/scan"},
                                {"direction", "pub"},
                                {"type", "sensor_msgs/msg/LaserScan"},
                                {"qos", {{"reliability", "best_effort"}}}}}}}},
                           {"rates", {{"topics", {{"/scan", {{"status", "no_publisher"}}}}}}}}}};
  EXPECT_EQ(detail_of(document, View::topics, "topic:/scan"),
            "topic:/scan\n"
            "Graph observed: unknown s Unix wall time · discovery completeness unknown\n"
            "\nLIVE RATE  received at this observer · 1 s sample · best-effort, volatile QoS\n"
            "No publisher in discovery; nothing to measure.\n"
            "\nMESSAGE INSPECTION · i requests or retries bounded samples and shape\n"
            "No inspection for this selected topic and capture side.\n"
            "\nCONNECTIONS AND ENTITY METADATA\n"
            "Connection 1/1: /lidar  ──▶  /scan\n"
            "Tab + ↑/↓ choose; Enter follows\n\n"
            "Observed endpoints: 1 publishers · 0 subscribers (discovery completeness unknown)\n"
            "publisher count: 1\n"
            "subscriber count: 0\n"
            "\nSOURCE MAPPING\n"
            "file: bringup.launch.py\n"
            "line: 12\n"
            "\nMESSAGE-TIME TF · t queries configured target\n"
            "target: map\n"
            "topic: /scan\n"
            "\nCONNECTIONS / captured QoS\n"
            "› /lidar  ──▶  /scan\n"
            "  Type: sensor_msgs/msg/LaserScan\n"
            "  QoS:\n"
            "reliability: best_effort\n"
            "\n"
            "\nMessage/frame mapping: unknown\n"
            "Tab, ↑/↓ select connection; Enter follows; Backspace returns.");
}

TEST(NodeDetail, ClockLineAndObservations) {
  const json graph = {
      {"node_parameters", {{"/sim", {{"use_sim_time", true}}}}},
      {"parameters_queried", {"/mute"}},
      {"parameters_status", "answered 1 of 2"},
      {"parameters_stale", {{"age_s", 12.6}, {"values", {{"/old", json::object()}}}}}};
  const json document = {{"entities", {node("/sim"), node("/mute"), node("/old"), node("/new")}},
                         {"configuration_diff", {{"node", "/sim"}, {"changed", 2}}},
                         {"project", {{"source_mappings", {{"node:/new", "main.launch.py:3"}}}}},
                         {"current", {{"graph", graph}}}};
  const struct {
    std::string_view id;
    std::string_view clock;
    std::string_view mapping;
    std::string_view diff;
  } cases[] = {
      {"node:/sim", "CLOCK  use_sim_time: true · read by Quillmesh (answered 1 of 2)",
       "Unknown: no source declaration linked to this captured entity.", "changed: 2\nnode: /sim"},
      {"node:/mute", "CLOCK  use_sim_time unknown: the node did not answer the parameter read",
       "Unknown: no source declaration linked to this captured entity.",
       "No observation for this selection."},
      {"node:/old", "CLOCK  last value is stale (13 s old); not used for findings",
       "Unknown: no source declaration linked to this captured entity.",
       "No observation for this selection."},
      {"node:/new", "CLOCK  not read for this node", "main.launch.py:3",
       "No observation for this selection."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(detail_of(document, View::nodes, c.id),
              std::string(c.id) +
                  "\nGraph observed: unknown s Unix wall time · discovery completeness unknown\n"
                  "\n" +
                  std::string(c.clock) +
                  "\n\nCONNECTIONS AND ENTITY METADATA\nunknown\n"
                  "\nSOURCE MAPPING\n" +
                  std::string(c.mapping) + "\n\nCONFIGURATION DIFF · d compares selected node\n" +
                  std::string(c.diff) +
                  "\n\nCONNECTIONS / captured QoS\n"
                  "\nMessage/frame mapping: unknown\n"
                  "Tab, ↑/↓ select connection; Enter follows; Backspace returns.");
  }
}

TEST(EntityDetail, RetainedRowsAndEmptyTf) {
  json gone = topic("/gone", {{"publisher_count", 1}});
  gone["observation_unavailable"] = true;
  const json document = {{"entities", {gone}}};
  EXPECT_EQ(detail_of(document, View::graph, "topic:/gone"),
            "topic:/gone\n"
            "Unavailable in latest graph capture. Selection retained for comparison.\n"
            "Graph observation unavailable · discovery completeness unknown\n"
            "\nPrior row evidence: details\n  publisher count: 1\nid: topic:/gone\nkind: topic\n"
            "name: /gone\nobservation unavailable: true\n");
  const std::string in_topics = detail_of(document, View::topics, "topic:/gone");
  EXPECT_NE(in_topics.find("comparison.\nGraph observation unavailable · discovery completeness "
                           "unknown\n\nMESSAGE INSPECTION"),
            std::string::npos)
      << in_topics;

  AppState tf = state_of(document, View::tf);
  EXPECT_EQ(entity_page(tf, tf.selected_row()).text, "No TF capture available.");
}

}  // namespace
}  // namespace qm
