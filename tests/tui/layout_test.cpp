#include "tui/layout.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tui/buffer.hpp"

namespace tui {
namespace {

Constraint len(uint16_t n) {
  return Constraint::length(n);
}
Constraint at_least(uint16_t n) {
  return Constraint::min(n);
}

// Splits a one-cell-thick area of `size` cells at (3, 2) and fills region i with the i-th letter;
// unused cells stay '.'. Also checks that every region spans the area across the split.
std::string letters(Direction direction, uint16_t size,
                    const std::vector<Constraint>& constraints) {
  const bool vertical = direction == Direction::vertical;
  const Rect area = vertical ? Rect{3, 2, 1, size} : Rect{3, 2, size, 1};
  Buffer buffer(area);
  for (Cell& cell : buffer.cells()) {
    cell.symbol = ".";
  }
  const std::vector<Rect> regions = split(area, direction, constraints);
  EXPECT_EQ(regions.size(), constraints.size());
  for (std::size_t i = 0; i < regions.size(); ++i) {
    const Rect& region = regions[i];
    EXPECT_EQ(vertical ? region.x : region.y, vertical ? area.x : area.y);
    EXPECT_EQ(vertical ? region.width : region.height, vertical ? area.width : area.height);
    for (uint16_t y = region.y; y < region.bottom(); ++y) {
      for (uint16_t x = region.x; x < region.right(); ++x) {
        buffer.at(x, y).symbol = std::string(1, static_cast<char>('a' + i));
      }
    }
  }
  std::string out;
  for (const std::string& row : buffer.rows()) {
    out += row;
  }
  return out;
}

struct SplitCase {
  const char* name;
  Direction direction;
  uint16_t size;
  std::vector<Constraint> constraints;
  std::string expected;
};

std::string repeat(char c, std::size_t n) {
  return std::string(n, c);
}

TEST(Layout, SolvesLengthsAndMinimums) {
  const Direction v = Direction::vertical;
  const Direction h = Direction::horizontal;
  const std::vector<Constraint> frame = {len(1), len(1), at_least(3), len(1), len(1)};
  const std::vector<Constraint> frame_no_tabs = {len(1), len(0), at_least(3), len(1), len(1)};
  const std::vector<Constraint> body = {len(20), at_least(10)};
  const std::vector<Constraint> shared = {at_least(1), len(2), at_least(1), at_least(0)};
  const std::vector<SplitCase> cases = {
      {"zero area", h, 0, {len(2), at_least(1)}, ""},
      {"no constraints", h, 3, {}, "..."},
      {"exact", h, 6, {len(2), at_least(1), len(3)}, "aabccc"},
      {"lengths only leave the rest unused", h, 6, {len(2), len(1)}, "aab..."},
      {"spare goes to the minimum", h, 8, {len(2), at_least(1), len(1)}, "aabbbbbc"},
      {"spare is shared by minimums, first ones first", h, 9, shared, "aaabbcccd"},
      {"short: lengths in order, then minimums", h, 4, {len(3), at_least(2), len(2)}, "aaac"},
      {"short: a length cut to what is left", h, 4, {len(3), len(3), at_least(2)}, "aaab"},
      {"short: minimums in order", h, 5, {len(2), at_least(2), at_least(2)}, "aabbc"},
      {"zero lengths take nothing", v, 2, {len(0), at_least(0), len(0)}, "bb"},
      {"frame height 0", v, 0, frame, ""},
      {"frame height 1", v, 1, frame, "a"},
      {"frame height 2", v, 2, frame, "ab"},
      {"frame height 4", v, 4, frame, "abde"},
      {"frame height 5", v, 5, frame, "abcde"},
      {"frame height 7", v, 7, frame, "abcccde"},
      {"frame height 36", v, 36, frame, "ab" + repeat('c', 32) + "de"},
      {"frame without tabs, height 2", v, 2, frame_no_tabs, "ad"},
      {"frame without tabs, height 4", v, 4, frame_no_tabs, "acde"},
      {"frame without tabs, height 36", v, 36, frame_no_tabs, "a" + repeat('c', 33) + "de"},
      {"body width 0", h, 0, body, ""},
      {"body width 15", h, 15, body, repeat('a', 15)},
      {"body width 30", h, 30, body, repeat('a', 20) + repeat('b', 10)},
      {"body width 100", h, 100, body, repeat('a', 20) + repeat('b', 80)},
      {"body width 200", h, 200, body, repeat('a', 20) + repeat('b', 180)},
      {"list and detail, 80", h, 80, {len(33), at_least(10)}, repeat('a', 33) + repeat('b', 47)},
      {"list and detail, 60", h, 60, {len(30), at_least(10)}, repeat('a', 30) + repeat('b', 30)},
      {"list and detail, 35", h, 35, {len(5), at_least(10)}, repeat('a', 5) + repeat('b', 30)},
      {"list and detail, 20", h, 20, {len(30), at_least(10)}, repeat('a', 20)},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(letters(c.direction, c.size, c.constraints), c.expected) << c.name;
  }
}

TEST(Layout, RegionsThatDoNotFitSitWhereThePreviousOneEnds) {
  const Rect area{10, 5, 30, 4};
  const std::vector<Rect> rows =
      split(area, Direction::vertical, {len(1), len(1), at_least(3), len(1), len(1)});
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (Rect{10, 5, 30, 1}));
  EXPECT_EQ(rows[1], (Rect{10, 6, 30, 1}));
  EXPECT_EQ(rows[2], (Rect{10, 7, 30, 0}));
  EXPECT_EQ(rows[3], (Rect{10, 7, 30, 1}));
  EXPECT_EQ(rows[4], (Rect{10, 8, 30, 1}));

  const std::vector<Rect> columns = split(area, Direction::horizontal, {len(40), at_least(10)});
  EXPECT_EQ(columns[0], (Rect{10, 5, 30, 4}));
  EXPECT_EQ(columns[1], (Rect{40, 5, 0, 4}));
}

}  // namespace
}  // namespace tui
