#include "views/changed_fields.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "json/json_access.hpp"
#include "model/limits.hpp"
#include "support/documents.hpp"

namespace qm {
namespace {

using nlohmann::json;

std::string diff_of(const json& before, const json& after) {
  const DocumentPtr document = testing::document_of({{"b", before}, {"a", after}});
  return changed_fields_text(member(document->root, "b"), member(document->root, "a"));
}

TEST(ChangedFields, OneLinePerDifferingPath) {
  const struct {
    const char* note;
    json before;
    json after;
    std::string text;
  } cases[] = {
      {"nested objects give dotted paths",
       {{"qos", {{"reliability", "reliable"}, {"depth", 10}}}},
       {{"qos", {{"reliability", "best_effort"}, {"depth", 10}}}},
       "CHANGED FIELDS\n~ qos.reliability: reliable → best_effort\n"},
      {"a changed element inside an array of objects",
       {{"endpoints", {{{"node", "/a"}}, {{"node", "/b"}}, {{"node", "/c"}}}}},
       {{"endpoints", {{{"node", "/a"}}, {{"node", "/b"}}, {{"node", "/d"}}}}},
       "CHANGED FIELDS\n~ endpoints[2].node: /c → /d\n"},
      {"a longer array adds its extra elements",
       {{"subscribes", json::array()}},
       {{"subscribes", {"/clock", "/tf"}}},
       "CHANGED FIELDS\n+ subscribes[0]: /clock\n+ subscribes[1]: /tf\n"},
      {"a shorter array removes its missing elements",
       {{"publishes", {"/a", "/b", "/c"}}},
       {{"publishes", {"/a"}}},
       "CHANGED FIELDS\n- publishes[1]: /b\n- publishes[2]: /c\n"},
      {"added and removed fields, in key order, containers compact",
       {{"lifespan", 5}, {"name", "x"}},
       {{"deadline", {{"sec", 1}}}, {"name", "x"}},
       "CHANGED FIELDS\n+ deadline: {\"sec\":1}\n- lifespan: 5\n"},
      {"a change of type says so",
       {{"rate", 5}, {"mode", nullptr}, {"tags", {"a"}}},
       {{"rate", "5"}, {"mode", false}, {"tags", {{"a", 1}}}},
       "CHANGED FIELDS\n~ mode: null → false (null → boolean)\n~ rate: 5 → 5 (number → string)\n"
       "~ tags: [\"a\"] → {\"a\":1} (array → object)\n"},
      {"numbers equal in value do not differ",
       {{"hz", 10}},
       {{"hz", 10.0}},
       "CHANGED FIELDS\nNo field differs.\n"},
      {"nothing differs",
       {{"a", {1, {{"b", "c"}}}}},
       {{"a", {1, {{"b", "c"}}}}},
       "CHANGED FIELDS\nNo field differs.\n"},
      {"two values that are not containers", "old", "new",
       "CHANGED FIELDS\n~ (entry): old → new\n"},
      {"an empty text still shows",
       {{"ns", ""}},
       {{"ns", "/robot"}},
       "CHANGED FIELDS\n~ ns: \"\" → /robot\n"},
      {"keys that could read as path syntax are quoted",
       {{"a.b", 1}, {"", 1}, {"x y", {{"z", 1}}}},
       {{"a.b", 2}, {"", 2}, {"x y", {{"z", 2}}}},
       "CHANGED FIELDS\n~ [\"\"]: 1 → 2\n~ [\"a.b\"]: 1 → 2\n~ [\"x y\"].z: 1 → 2\n"},
      {"keys and values are display-safe and stay on one line",
       {{"k\nx\x1b", "a\nb"}},
       {{"k\nx\x1b", "a\tb\u202e"}},
       "CHANGED FIELDS\n~ [\"k↵x�\"]: a↵b → a b�\n"},
      {"long values are cut",
       {{"v", std::string(60, 'a')}},
       {{"v", "b"}},
       "CHANGED FIELDS\n~ v: " + std::string(39, 'a') + "… → b\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(diff_of(c.before, c.after), c.text) << c.note;
  }
}

TEST(ChangedFields, ManyDifferencesEndInACount) {
  json before = json::object();
  json after = json::object();
  for (int i = 0; i < 60; ++i) {
    // Two-digit keys keep the byte order equal to the number order.
    const std::string key = "f" + std::to_string(10 + i);
    before[key] = i;
    after[key] = i + 1;
  }
  const std::string text = diff_of(before, after);
  std::size_t lines = 0;
  for (const char c : text) {
    lines += c == '\n' ? 1 : 0;
  }
  // The heading, the lines shown, then the count.
  EXPECT_EQ(lines, 1 + limits::changed_fields_shown + 1);
  EXPECT_TRUE(text.find("~ f59: 49 → 50\n… 10 more\n") != std::string::npos) << text;
  EXPECT_TRUE(text.ends_with("… 10 more\n")) << text;
}

}  // namespace
}  // namespace qm
