#include "views/changes_detail.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "model/row_selection.hpp"
#include "support/documents.hpp"

namespace qm {
namespace {

using nlohmann::json;

TEST(ChangesDetail, SelectedChangeOrWarningsAlone) {
  const json added = {
      {"id", "node:/tf_pub"}, {"status", "added"}, {"after", {{"name", "/tf_pub"}}}};
  const json changed = {{"id", "topic:/scan"},
                        {"status", "changed"},
                        {"before", {{"qos", {{"reliability", "reliable"}}}}},
                        {"after", {{"qos", {{"reliability", "best_effort"}}}}}};
  const json same = {{"id", "topic:/odom"},
                     {"status", "changed"},
                     {"before", {{"depth", 5}}},
                     {"after", {{"depth", 5}}}};
  const json warnings = {"baseline from another domain"};
  const struct {
    json comparison;
    std::string_view id;
    std::string text;
  } cases[] = {
      {{{"changes", {added}}},
       "node:/tf_pub",
       "added  node:/tf_pub\n\nBASELINE\nunknown\n\nCURRENT\nname: /tf_pub\n\n"
       "Comparison warnings\nunknown\n"},
      // Both sides: the fields that differ come first.
      {{{"changes", {changed}}},
       "topic:/scan",
       "changed  topic:/scan\n\nCHANGED FIELDS\n~ qos.reliability: reliable → best_effort\n\n"
       "BASELINE\nqos\n  reliability: reliable\n\nCURRENT\nqos\n  reliability: best_effort\n\n"
       "Comparison warnings\nunknown\n"},
      {{{"changes", {same}}},
       "topic:/odom",
       "changed  topic:/odom\n\nCHANGED FIELDS\nNo field differs.\n\nBASELINE\ndepth: 5\n\n"
       "CURRENT\ndepth: 5\n\nComparison warnings\nunknown\n"},
      {{{"changes", json::array()}, {"warnings", warnings}},
       "",
       "No structural changes available.\n\n• baseline from another domain\n"},
      {nullptr, "", "No structural changes available.\n\nunknown\n"},
  };
  for (const auto& c : cases) {
    AppState state;
    state.model = build_model(testing::document_of({{"comparison", c.comparison}}));
    state.view = View::changes;
    rebuild_rows(state);
    state.selected = state.rows.size();
    EXPECT_TRUE(c.id.empty() || select_row_by_id(state, c.id));
    EXPECT_EQ(changes_page(state, state.selected_row()).text, c.text);
  }
}

}  // namespace
}  // namespace qm
