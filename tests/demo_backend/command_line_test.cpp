#include "command_line.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace qm::demo::test {
namespace {

struct Arguments {
  std::vector<const char*> argv;
  bool accepted;
  const char* error_part;
};

TEST(DemoCommandLine, AcceptsTheDocumentedForms) {
  const Arguments cases[] = {
      {{"--session", "s.json", "--requests", "r.jsonl"}, true, ""},
      {{"--session", "s.json", "--requests", "r.jsonl", "--seed", "42", "--quiet"}, true, ""},
      {{"--write-example", "out.json"}, true, ""},
      {{"--help"}, true, ""},
      {{"--session", "s.json"}, false, "are required"},
      {{"--session", "s.json", "--requests"}, false, "--requests needs a value"},
      {{"--session", "s", "--requests", "r", "--seed", "-1"}, false, "non-negative integer"},
      {{"--session", "s", "--requests", "r", "--seed", "4x"}, false, "non-negative integer"},
      {{"--from", "x"}, false, "unknown argument --from"},
  };
  for (const Arguments& c : cases) {
    const auto parsed = parse_command_line(c.argv);
    EXPECT_EQ(parsed.has_value(), c.accepted) << c.argv.front();
    if (!parsed) {
      EXPECT_NE(parsed.error().find(c.error_part), std::string::npos) << parsed.error();
    }
  }
  const auto seeded = parse_command_line(
      std::vector<const char*>{"--session", "s", "--requests", "r", "--seed", "42"});
  ASSERT_TRUE(seeded.has_value());
  EXPECT_EQ(seeded->seed, 42U);
  EXPECT_FALSE(seeded->quiet);
}

}  // namespace
}  // namespace qm::demo::test
