#include "retained_log.hpp"

#include <gtest/gtest.h>

#include "sha256.hpp"

namespace qm::demo::test {
namespace {

using nlohmann::json;

RetainedLog small_log() {
  RetainedLog log;
  const char* severities[] = {"info", "info", "warning", "info", "error",
                              "info", "info", "Error",   "info", "info"};
  for (int i = 0; i < 10; ++i) {
    log.append({severities[i], "line " + std::to_string(i + 1) + (i % 3 == 0 ? " lidar" : "")});
  }
  return log;
}

std::vector<std::uint64_t> numbers(const json& page) {
  std::vector<std::uint64_t> out;
  for (const json& line : page["lines"]) {
    out.push_back(line["number"].get<std::uint64_t>());
  }
  return out;
}

struct PageCase {
  PageRequest request;
  std::vector<std::uint64_t> numbers;
  std::size_t shown;
  std::size_t matches;
  json previous;
  json next;
};

TEST(DemoRetainedLog, PagesFilterBySeverityQueryAndContext) {
  const RetainedLog log = small_log();
  const PageCase cases[] = {
      {{0, 4, "", "all", 0}, {1, 2, 3, 4}, 10, 0, nullptr, 4},
      {{4, 4, "", "all", 0}, {5, 6, 7, 8}, 10, 0, 0, 8},
      {{8, 4, "", "all", 0}, {9, 10}, 10, 0, 4, nullptr},
      {{0, 9, "", "error", 0}, {5}, 1, 1, nullptr, nullptr},
      {{0, 9, "", "warning", 0}, {3, 5}, 2, 2, nullptr, nullptr},
      {{0, 9, "LIDAR", "all", 0}, {1, 4, 7, 10}, 4, 4, nullptr, nullptr},
      {{0, 9, "lidar", "all", 1}, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 10, 4, nullptr, 9},
      {{0, 20, "lidar", "warning", 2}, {}, 0, 0, nullptr, nullptr},
      {{50, 4, "", "all", 0}, {}, 10, 0, 6, nullptr},
  };
  for (const PageCase& c : cases) {
    const json page = log.page(c.request, "/tmp/launch.log");
    const std::string label = c.request.query.dump() + " " + c.request.severity.dump();
    EXPECT_EQ(numbers(page), c.numbers) << label;
    EXPECT_EQ(page["shown_lines"], c.shown) << label;
    EXPECT_EQ(page["matches"], c.matches) << label;
    EXPECT_EQ(page["previous_start"], c.previous) << label;
    EXPECT_EQ(page["next_start"], c.next) << label;
    EXPECT_EQ(page["at_end"], c.next.is_null()) << label;
    // Echoed exactly, so the viewer recognises its page.
    EXPECT_EQ(page["query"], c.request.query) << label;
    EXPECT_EQ(page["severity"], c.request.severity) << label;
    EXPECT_EQ(page["context"], c.request.context) << label;
    EXPECT_EQ(page["path"], "/tmp/launch.log") << label;
    EXPECT_EQ(page["retained_lines"], 10U);
  }
}

TEST(DemoRetainedLog, CountsBytesAndDropsTheOldestPastItsCapacity) {
  RetainedLog log(3);
  for (int i = 1; i <= 5; ++i) {
    log.append({"info", "l" + std::to_string(i)});
  }
  EXPECT_EQ(log.retained(), 3U);
  EXPECT_EQ(log.dropped(), 2U);
  EXPECT_EQ(log.bytes(), 9U);
  EXPECT_EQ(log.digest(), sha256_hex("l3\nl4\nl5\n"));
  const json page = log.page({0, 10, "", "all", 0}, "p");
  EXPECT_EQ(numbers(page), (std::vector<std::uint64_t>{3, 4, 5}));
  EXPECT_EQ(page["coverage"], "lines 1–3 of 3 retained; 2 older lines dropped");
}

TEST(DemoSha256, KnownDigests) {
  EXPECT_EQ(sha256_hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(sha256_hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(sha256_hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  EXPECT_EQ(sha256_hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

}  // namespace
}  // namespace qm::demo::test
