#include "model/view.hpp"

#include <gtest/gtest.h>

#include "model/row_id.hpp"

namespace qm {
namespace {

// What each view does differently, as key handling, reloads and start-up rely on it.
TEST(ViewTraits, EachViewAsTheKeysAndReloadsUseIt) {
  const struct {
    View view;
    bool list, connections, entities, exports, awaits;
  } cases[] = {
      {View::health, true, false, false, false, false},
      {View::graph, true, true, true, true, true},
      {View::topics, true, true, true, true, true},
      {View::nodes, true, true, true, true, true},
      {View::tf, true, false, true, true, true},
      {View::changes, true, false, false, true, true},
      {View::results, true, false, false, false, true},
      {View::playback, false, false, false, false, false},
      {View::capture, false, false, false, false, false},
      {View::project, true, false, false, false, false},
  };
  for (const auto& c : cases) {
    const ViewTraits& traits = traits_of(c.view);
    EXPECT_EQ(traits.has_list, c.list) << traits.name;
    EXPECT_EQ(traits.has_connections, c.connections) << traits.name;
    EXPECT_EQ(traits.lists_entities, c.entities) << traits.name;
    EXPECT_EQ(traits.exports, c.exports) << traits.name;
    EXPECT_EQ(traits.awaits_selection, c.awaits) << traits.name;
  }
}

TEST(RowIds, KindsNamesAndHomeViews) {
  const struct {
    std::string_view id;
    std::optional<RowKind> kind;
    std::string_view name;
  } cases[] = {
      {"node:/amcl", RowKind::node, "/amcl"},
      {"topic:/scan", RowKind::topic, "/scan"},
      {"frame:odom", RowKind::frame, "odom"},
      {"problem:launch:process:x", RowKind::problem, "launch:process:x"},
      {"check:r-1:0", RowKind::check, "r-1:0"},
      {"experiment:", RowKind::experiment, ""},
      {"health:summary", std::nullopt, "health:summary"},
      {"nodes:/x", std::nullopt, "nodes:/x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kind_of(c.id), c.kind) << c.id;
    EXPECT_EQ(name_of(c.id), c.name) << c.id;
    if (c.kind) {
      EXPECT_EQ(row_id(*c.kind, c.name), c.id);
    }
  }
  EXPECT_EQ(name_of("topic:/scan", RowKind::node), std::nullopt);
  EXPECT_EQ(home_view(RowKind::frame), View::tf);
  EXPECT_EQ(home_view(RowKind::check), View::results);
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

TEST(ViewNamed, DigitsAndNamesInAnyCase) {
  const struct {
    std::string_view text;
    std::optional<View> view;
  } cases[] = {
      {"1", View::health},          {"0", View::project},     {"9", View::capture},
      {"health", View::health},     {"HEALTH", View::health}, {"tF", View::tf},
      {"Playback", View::playback}, {"", std::nullopt},       {"10", std::nullopt},
      {"01", std::nullopt},         {"healt", std::nullopt},  {"healthy", std::nullopt},
      {" health", std::nullopt},    {"t\xc6", std::nullopt},  {"a", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(view_named(c.text), c.view) << c.text;
  }
}

}  // namespace
}  // namespace qm
