#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
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

inline std::string colour_text(const tui::Color& colour) {
  switch (colour.kind) {
    case tui::Color::Kind::rgb:
      return "rgb(" + std::to_string(colour.r) + "," + std::to_string(colour.g) + "," +
             std::to_string(colour.b) + ")";
    case tui::Color::Kind::indexed:
      return "index " + std::to_string(colour.index);
    default:
      return "default";
  }
}

// A cell and the style it should show.
struct StyledCell {
  uint16_t x;
  uint16_t y;
  tui::Style style;
};

// True when every listed cell shows its style: the colours the style sets are the cell's, bold
// is on where the style adds it and off where it removes it. In other words, laying the style
// over the cell would change nothing.
//   EXPECT_CELLS(buffer, {{0, 0, tui::fg(blue).bold()}, {3, 1, tui::bg(grey)}});
inline ::testing::AssertionResult cells_styled(const tui::Buffer& buffer,
                                               std::initializer_list<StyledCell> cells) {
  std::ostringstream out;
  for (const StyledCell& expected : cells) {
    const tui::Cell& cell = buffer.at(expected.x, expected.y);
    tui::Cell patched = cell;
    patched.apply(expected.style);
    if (patched != cell) {
      out << "\n  cell (" << expected.x << "," << expected.y << ") \"" << cell.symbol << "\" is fg "
          << colour_text(cell.fg) << ", bg " << colour_text(cell.bg)
          << (cell.modifiers.has(tui::Modifier::bold) ? ", bold" : "") << "; expected fg "
          << colour_text(patched.fg) << ", bg " << colour_text(patched.bg)
          << (patched.modifiers.has(tui::Modifier::bold) ? ", bold" : "");
    }
  }
  if (out.str().empty()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "cells differ:" << out.str();
}

// The first row of `buffer` that holds `text`; none when no row does.
inline std::optional<uint16_t> row_with(const tui::Buffer& buffer, std::string_view text) {
  for (uint16_t y = 0; y < buffer.area().height; ++y) {
    if (buffer.row_text(y).find(text) != std::string::npos) {
      return y;
    }
  }
  return std::nullopt;
}

}  // namespace test_support

// Expects the listed cells of a buffer to show their styles.
#define EXPECT_CELLS(buffer, ...) EXPECT_TRUE(::test_support::cells_styled((buffer), __VA_ARGS__))

// Expects the rows of a buffer to equal a golden grid.
#define EXPECT_GRID(buffer, ...) EXPECT_TRUE(::test_support::grid_equals((buffer), __VA_ARGS__))
