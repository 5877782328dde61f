#include "model/row_selection.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/documents.hpp"

namespace qm {
namespace {

// Rows of the Changes view, which keeps the selection by row, named as a user may name them.
AppState named_rows() {
  AppState state;
  state.view = View::changes;
  const DocumentPtr empty = testing::document_of(nlohmann::json::object());
  state.rows = {
      Row::owning("topic:/scan", "/scan", empty->root),
      Row::owning("node:/scan", "  /scan node", empty->root),
      Row::owning("node:/amcl", "topic:/odom", empty->root),
      Row::owning("topic:/odom", "/odom", empty->root),
  };
  return state;
}

TEST(SelectRowNamed, IdThenNameThenLabel) {
  const struct {
    std::string_view name;
    std::optional<std::size_t> row;
  } cases[] = {
      {"topic:/scan", 0},  // the id
      {"node:/scan", 1},
      {"/scan", 0},        // the first row with that name
      {"/amcl", 2},        // a name, not a label
      {"topic:/odom", 3},  // an id wins over a label
      {"/scan node", 1},   // a label without its leading spaces
      {"  /scan node", std::nullopt},
      {"scan", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    AppState state = named_rows();
    state.selected = 2;
    EXPECT_EQ(select_row_named(state, c.name), c.row.has_value()) << c.name;
    EXPECT_EQ(state.selected, c.row.value_or(2)) << c.name;
    if (c.row) {
      EXPECT_EQ(state.selected_id, state.rows[*c.row].id) << c.name;
    }
  }
}

}  // namespace
}  // namespace qm
