#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "demo_document.hpp"
#include "entity_lookup.hpp"

namespace qm::demo::test {
namespace {

using nlohmann::json;

// The committed example is what the generator writes; regenerate it with
// `quillmesh-demo-backend --write-example examples/demo-session.json` after changing the demo.
TEST(DemoExample, MatchesTheCommittedExample) {
  std::ifstream in(std::string(QM_SOURCE_DIR) + "/examples/demo-session.json", std::ios::binary);
  std::stringstream committed;
  committed << in.rdbuf();
  EXPECT_TRUE(document_text(build_demo_document()) == committed.str());
}

// Every finding, change and source mapping names something the captures hold.
TEST(DemoExample, ReferencesNameEntitiesOfTheCaptures) {
  const json doc = build_demo_document();
  for (const json& finding : doc["problems"]["findings"]) {
    const std::string target = finding["target"];
    EXPECT_FALSE(find_side_entity(doc, target, false).is_null()) << target;
  }
  for (const json& change : doc["comparison"]["changes"]) {
    const bool in_current = !change["after"].is_null();
    EXPECT_EQ(in_current, change["status"] != "removed") << change["id"];
    EXPECT_EQ(change["before"].is_null(), change["status"] == "added") << change["id"];
  }
  for (const auto& [id, mapping] : doc["project"]["source_mappings"].items()) {
    EXPECT_FALSE(find_side_entity(doc, id, false).is_null()) << id;
  }
  EXPECT_EQ(doc["current"]["graph"]["nodes"].size(), 44U);
  EXPECT_EQ(doc["current"]["graph"]["topics"].size(), 70U);
}

}  // namespace
}  // namespace qm::demo::test
