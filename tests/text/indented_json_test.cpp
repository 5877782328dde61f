#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/documents.hpp"
#include "text/value_text.hpp"

namespace qm {
namespace {

using testing::document_of;

TEST(IndentedJsonText, MatchesTheLibraryAndStaysBounded) {
  const nlohmann::json value = {{"a", {1, -2, 2.5, nullptr, true}},
                                {"b", nlohmann::json::object()},
                                {"c", nlohmann::json::array()},
                                {"d", {{"tab\there", "line\nbreak"}}}};
  EXPECT_EQ(indented_json_text(document_of(value)->root), value.dump(2));
  EXPECT_EQ(indented_json_text(document_of(nullptr)->root), "null");

  // A huge value is cut at the display limit of 200,000 characters.
  nlohmann::json big = nlohmann::json::array();
  for (int i = 0; i < 200'000; ++i) big.push_back(i);
  EXPECT_EQ(indented_json_text(document_of(big)->root).size(), 200'000u);
}

}  // namespace
}  // namespace qm
