#include "model/list_order.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/view_rows.hpp"
#include "support/documents.hpp"
#include "support/row_lists.hpp"

namespace qm {
namespace {

using nlohmann::json;
using Ids = std::vector<std::string>;

json topic(const std::string& name, const json& details) {
  return {{"id", "topic:" + name}, {"kind", "topic"}, {"name", name}, {"details", details}};
}

json node(const std::string& name, const json& details) {
  return {{"id", "node:" + name}, {"kind", "node"}, {"name", name}, {"details", details}};
}

// Five topics and four nodes with ties, unknown rates and counts, and findings of each severity:
//   /a 10 Hz, 1+1 endpoints   /b no rate, 3+2, warning   /c 2 Hz, 1+0, error
//   /d 10 Hz, no counts       /e silent, 0+5, info
//   /n1 publishes /a, 1+1     /n2 publishes /c and /a, 2+3, warning
//   /n3 publishes nothing     /n4 publishes /b and an unknown topic, 4+1, error
json sorting_document() {
  json entities = json::array({
      topic("/a", {{"publisher_count", 1}, {"subscriber_count", 1}}),
      topic("/b", {{"publisher_count", 3}, {"subscriber_count", 2}}),
      topic("/c", {{"publisher_count", 1}, {"subscriber_count", 0}}),
      topic("/d", json::object()),
      topic("/e", {{"publisher_count", 0}, {"subscriber_count", 5}}),
      node("/n1", {{"publishes", {"/a"}}, {"publication_count", 1}, {"subscription_count", 1}}),
      node("/n2",
           {{"publishes", {"/c", "/a"}}, {"publication_count", 2}, {"subscription_count", 3}}),
      node("/n3", {{"publishes", json::array()}}),
      node("/n4",
           {{"publishes", {"/b", "/x"}}, {"publication_count", 4}, {"subscription_count", 1}}),
  });
  const json rates = {{"topics",
                       {{"/a", {{"status", "measured"}, {"mean_rate_hz", 10.0}}},
                        {"/c", {{"status", "measured"}, {"mean_rate_hz", 2}}},
                        {"/d", {{"status", "measured"}, {"mean_rate_hz", 10.0}}},
                        {"/e", {{"status", "silent"}, {"rate_note", "no messages"}}}}}};
  return {{"entities", entities},
          {"baseline_entities", entities},
          {"current", {{"rates", rates}}},
          {"baseline", {{"graph", json::object()}}},
          {"problems",
           {{"findings", json::array({
                             {{"target", "topic:/e"}, {"severity", "info"}},
                             {{"target", "topic:/b"}, {"severity", "warning"}},
                             {{"target", "topic:/c"}, {"severity", "warning"}},
                             {{"target", "topic:/c"}, {"severity", "error"}},
                             {{"target", "topic:/a"}},
                             {{"target", "node:/n2"}, {"severity", "warning"}},
                             {{"target", "node:/n4"}, {"severity", "error"}},
                         })}}}};
}

TEST(ListOrder, OrdersTopicsAndNodesStably) {
  const SessionModel current = build_model(testing::document_of(sorting_document()));
  const SessionModel baseline = show_side(current, Side::baseline);
  const struct {
    const char* note;
    const SessionModel* model;
    View view;
    ListOrder order;
    std::string search;
    Ids expected;
  } cases[] = {
      {"document order",
       &current,
       View::topics,
       ListOrder::document,
       "",
       {"topic:/a", "topic:/b", "topic:/c", "topic:/d", "topic:/e"}},
      {"most severe finding first; a finding without severity is none",
       &current,
       View::topics,
       ListOrder::problems,
       "",
       {"topic:/c", "topic:/b", "topic:/e", "topic:/a", "topic:/d"}},
      {"lowest rate first, equal rates keep their order, no numeric rate last",
       &current,
       View::topics,
       ListOrder::rate,
       "",
       {"topic:/c", "topic:/a", "topic:/d", "topic:/b", "topic:/e"}},
      {"most endpoints first, ties stable, no counts last",
       &current,
       View::topics,
       ListOrder::endpoints,
       "",
       {"topic:/b", "topic:/e", "topic:/a", "topic:/c", "topic:/d"}},
      {"the search narrows first", &current, View::topics, ListOrder::rate, "/d", {"topic:/d"}},
      {"nodes by their findings",
       &current,
       View::nodes,
       ListOrder::problems,
       "",
       {"node:/n4", "node:/n2", "node:/n1", "node:/n3"}},
      {"a node's rate is its slowest published topic",
       &current,
       View::nodes,
       ListOrder::rate,
       "",
       {"node:/n2", "node:/n1", "node:/n3", "node:/n4"}},
      {"nodes by publications and subscriptions",
       &current,
       View::nodes,
       ListOrder::endpoints,
       "",
       {"node:/n2", "node:/n4", "node:/n1", "node:/n3"}},
      {"Graph shares the topic rows but keeps document order",
       &current,
       View::graph,
       ListOrder::rate,
       "",
       {"topic:/a", "topic:/b", "topic:/c", "topic:/d", "topic:/e"}},
      {"the baseline has no findings",
       &baseline,
       View::topics,
       ListOrder::problems,
       "",
       {"topic:/a", "topic:/b", "topic:/c", "topic:/d", "topic:/e"}},
      {"the baseline's own rates: none here",
       &baseline,
       View::topics,
       ListOrder::rate,
       "",
       {"topic:/a", "topic:/b", "topic:/c", "topic:/d", "topic:/e"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(
        testing::ids(build_view_rows(*c.model, c.view, c.search, ResultsFilter::all, c.order)),
        c.expected)
        << c.note;
  }
}

}  // namespace
}  // namespace qm
