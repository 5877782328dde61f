#include "request_reader.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "scratch_folder.hpp"

namespace qm::demo::test {
namespace {

void append(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::app | std::ios::binary) << text;
}

using Lines = std::vector<std::string>;

// Each step appends to the channel (or replaces it) and polls once.
TEST(DemoRequestReader, HandsBackCompleteLinesOnly) {
  const std::filesystem::path channel = scratch_folder("reader") / "requests.jsonl";
  RequestReader reader(channel);
  EXPECT_EQ(reader.poll().lines, Lines{}) << "no channel yet";

  struct Step {
    std::string appended;
    bool replace;
    Lines expected;
  };
  const Step steps[] = {
      {R"({"action":"refresh")", false, {}},
      {"}\n{\"act", false, {R"({"action":"refresh"})"}},
      {"ion\":\"stop\"}\n\n", false, {R"({"action":"stop"})", ""}},
      {"a\nb\nc", false, {"a", "b"}},
      {"", false, {}},
      {"\n", false, {"c"}},
      // The opener emptied the channel: reading starts again at its beginning.
      {"x\n", true, {"x"}},
  };
  for (const Step& step : steps) {
    if (step.replace) {
      std::ofstream(channel, std::ios::trunc | std::ios::binary) << step.appended;
    } else {
      append(channel, step.appended);
    }
    EXPECT_EQ(reader.poll().lines, step.expected) << step.appended;
  }
  EXPECT_EQ(reader.offset(), 2U);
}

TEST(DemoRequestReader, DropsALineLongerThanTheChannelLimit) {
  const std::filesystem::path channel = scratch_folder("reader_long") / "requests.jsonl";
  RequestReader reader(channel);
  append(channel, std::string(RequestReader::max_line_bytes / 2, 'a'));
  EXPECT_EQ(reader.poll().overlong, 0U);
  append(channel, std::string(RequestReader::max_line_bytes / 2 + 1, 'a'));
  EXPECT_EQ(reader.poll().overlong, 1U);
  append(channel, "still the long line\n{}\n");
  const ReadResult after = reader.poll();
  EXPECT_EQ(after.lines, Lines{"{}"});
  EXPECT_EQ(after.overlong, 0U);
}

}  // namespace
}  // namespace qm::demo::test
