#include "model/text_map.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm {
namespace {

TEST(TextMap, FindsEveryTextThroughGrowthAndKeepsOrReplacesValuesAsAsked) {
  std::vector<std::string> texts = {"", "a", "/camera/image_raw", "node:/a"};
  for (int i = 0; i < 5000; ++i) {
    texts.push_back("topic:/fleet/" + std::to_string(i));
  }
  TextMap map;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(map.try_emplace(texts[i], static_cast<std::uint32_t>(i)),
              std::make_pair(static_cast<std::uint32_t>(i), true));
  }
  // Equal texts held elsewhere find the same entries.
  const std::vector<std::string> copies = texts;
  for (std::size_t i = 0; i < copies.size(); ++i) {
    EXPECT_EQ(map.try_emplace(copies[i], 99), std::make_pair(static_cast<std::uint32_t>(i), false));
    ASSERT_EQ(map.find(copies[i]), i) << copies[i];
  }
  map.insert_or_assign(copies[2], 7);
  EXPECT_EQ(map.find(texts[2]), 7u);
  EXPECT_EQ(map.size(), texts.size());
  for (const std::string_view absent : {"b", "topic:/fleet/5000", "node:/"}) {
    EXPECT_FALSE(map.find(absent)) << absent;
  }
  EXPECT_FALSE(TextMap{}.find("a"));
}

}  // namespace
}  // namespace qm
