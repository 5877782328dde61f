#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "tui/buffer.hpp"

namespace test_support {

// Compares the rows of `buffer` with a golden grid, one string per row. On a mismatch the message
// shows both grids row by row, quoted, with the differing rows marked.
//   EXPECT_TRUE(test_support::grid_equals(buffer, {"╭──╮", "╰──╯"}));
inline ::testing::AssertionResult grid_equals(const tui::Buffer& buffer,
                                              const std::vector<std::string>& expected) {
  const std::vector<std::string> actual = buffer.rows();
  if (actual == expected) {
    return ::testing::AssertionSuccess();
  }
  std::ostringstream out;
  out << "grid differs (expected " << expected.size() << " rows, got " << actual.size() << "):\n";
  const std::size_t count = std::max(actual.size(), expected.size());
  for (std::size_t row = 0; row < count; ++row) {
    const bool has_expected = row < expected.size();
    const bool has_actual = row < actual.size();
    const bool same = has_expected && has_actual && expected[row] == actual[row];
    out << (same ? "   " : " ! ") << "row " << row << '\n';
    out << "     expected: " << (has_expected ? '"' + expected[row] + '"' : "(none)") << '\n';
    if (!same) {
      out << "     actual:   " << (has_actual ? '"' + actual[row] + '"' : "(none)") << '\n';
    }
  }
  return ::testing::AssertionFailure() << out.str();
}

}  // namespace test_support

// Expects the rows of a buffer to equal a golden grid.
#define EXPECT_GRID(buffer, ...) EXPECT_TRUE(::test_support::grid_equals((buffer), __VA_ARGS__))
