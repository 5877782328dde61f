#include "model/session_model.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "json/json_text.hpp"
#include "model/view_rows.hpp"
#include "support/documents.hpp"
#include "support/row_lists.hpp"

namespace qm {
namespace {

using testing::document_of;
using testing::ids;
using testing::labels;
using testing::nlohmann_of;

nlohmann::json tf_edge(std::string parent, std::string child) {
  return nlohmann::json{{"parent", std::move(parent)}, {"child", std::move(child)}};
}

TEST(SessionModel, IdIndexConnectionsAndSides) {
  nlohmann::json document = {
      {"entities",
       nlohmann::json::array({{{"id", "node:/a"}, {"kind", "node"}, {"name", "/a"}},
                              {{"id", "topic:/t"}, {"kind", "topic"}, {"name", "first"}},
                              {{"id", "topic:/t"}, {"kind", "topic"}, {"name", "second"}},
                              {{"id", "node:/nokind"}}})},
      {"current",
       {{"graph",
         {{"edges",
           nlohmann::json::array({{{"node", "/a"}, {"topic", "/t"}, {"direction", "pub"}},
                                  {{"node", "/b"}, {"topic", "/t"}, {"direction", "sub"}}})}}}}},
      {"baseline", nlohmann::json::object()}};
  SessionModel model = build_model(document_of(document));
  EXPECT_EQ(model.entities.size(), 4u);
  ASSERT_NE(find_entity(model, "topic:/t"), nullptr);
  EXPECT_EQ(nlohmann_of(*find_entity(model, "topic:/t"))["name"], "second");
  EXPECT_NE(find_entity(model, "node:/nokind"), nullptr);
  EXPECT_EQ(find_entity(model, "node:/missing"), nullptr);

  // Both duplicates are listed; the entity without a kind is in no list.
  EXPECT_EQ(labels(build_view_rows(model, View::topics, "", ResultsFilter::all)),
            (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(ids(build_view_rows(model, View::nodes, "", ResultsFilter::all)),
            (std::vector<std::string>{"node:/a"}));

  const std::vector<Connection> topic_connections = connections_of(model, "topic:/t");
  EXPECT_EQ(ids(topic_connections), (std::vector<std::string>{"node:/a", "node:/b"}));
  EXPECT_EQ(labels(topic_connections), (std::vector<std::string>{"/a  ──▶  /t", "/t  ──▶  /b"}));
  EXPECT_EQ(ids(connections_of(model, "node:/b")), (std::vector<std::string>{"topic:/t"}));
  EXPECT_TRUE(connections_of(model, "node:/none").empty());

  // The baseline side of a document without baseline entities has empty lists.
  SessionModel baseline = show_side(model, Side::baseline);
  EXPECT_TRUE(baseline.baseline_shown());
  EXPECT_TRUE(build_view_rows(baseline, View::topics, "", ResultsFilter::all).empty());
  EXPECT_TRUE(connections_of(baseline, "topic:/t").empty());
}

TEST(SessionModel, TfTreeWalk) {
  nlohmann::json tf = {
      {"frames", nlohmann::json::array({"map", "odom"})},
      {"edges", nlohmann::json::array({tf_edge("map", "odom"), tf_edge("odom", "base_link"),
                                       tf_edge("world", "base_link"), tf_edge("base_link", "laser"),
                                       tf_edge("loop_a", "loop_b"), tf_edge("loop_b", "loop_a")})}};
  const DocumentPtr tf_document = document_of(tf);
  JsonArena arena;
  std::vector<Row> rows = build_tf_rows(tf_document->root, arena);
  // base_link has two parents: it is listed once, under the first root reached (map).
  EXPECT_EQ(labels(rows), (std::vector<std::string>{"map", "  └─ odom", "    └─ base_link",
                                                    "      └─ laser", "world"}));
  EXPECT_EQ(rows[0].id, "frame:map");
  const nlohmann::json base_link = nlohmann_of(*rows[2].value);
  EXPECT_EQ(base_link["frame"], "base_link");
  EXPECT_EQ(base_link["edges"].size(), 3u);
  EXPECT_EQ(base_link["publisher_attribution"],
            "topic-level candidates only; not verified transform ownership");
  EXPECT_EQ(compact_json(member(*rows[4].value, "edges")),
            nlohmann::json::array({tf_edge("world", "base_link")}).dump());

  // A frame without edges gets an empty edge list; a lone cycle gives no rows.
  const DocumentPtr solo = document_of({{"frames", nlohmann::json::array({"solo"})}});
  std::vector<Row> lone = build_tf_rows(solo->root, arena);
  ASSERT_EQ(lone.size(), 1u);
  EXPECT_EQ(compact_json(member(*lone[0].value, "edges")), "[]");
  EXPECT_TRUE(
      build_tf_rows(
          document_of({{"edges", nlohmann::json::array({tf_edge("a", "b"), tf_edge("b", "a")})}})
              ->root,
          arena)
          .empty());
  EXPECT_TRUE(build_tf_rows(document_of("not an object")->root, arena).empty());
}

TEST(SessionModel, TfDepthIndentIsCappedAt16) {
  nlohmann::json edges = nlohmann::json::array();
  for (int i = 0; i < 20; ++i) {
    edges.push_back(tf_edge("f" + std::to_string(i), "f" + std::to_string(i + 1)));
  }
  const DocumentPtr tf = document_of({{"edges", edges}});
  JsonArena arena;
  std::vector<Row> rows = build_tf_rows(tf->root, arena);
  ASSERT_EQ(rows.size(), 21u);
  std::string indent;
  for (int i = 0; i < 16; ++i) indent += "  ";
  EXPECT_EQ(rows[20].label, indent + "└─ f20");
  EXPECT_EQ(rows[16].label, indent + "└─ f16");
  EXPECT_EQ(rows[15].label, indent.substr(2) + "└─ f15");
}

TEST(SessionModel, ModelKeepsTfRowsValidWhenMoved) {
  nlohmann::json document = {
      {"current", {{"tf", {{"edges", nlohmann::json::array({tf_edge("map", "odom")})}}}}}};
  SessionModel model = build_model(document_of(document));
  SessionModel moved = std::move(model);
  std::vector<Row> rows = build_view_rows(moved, View::tf, "", ResultsFilter::all);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(nlohmann_of(*rows[1].value)["frame"], "odom");
}

}  // namespace
}  // namespace qm
