#include "tui/wrap.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tui/unicode.hpp"

namespace tui {
namespace {

std::vector<std::string> wrapped(std::string_view text, uint16_t width) {
  std::vector<std::string> out;
  for (const WrappedRow& row : wrap_rows(text, width)) {
    out.emplace_back(text.substr(row.begin, row.end - row.begin));
  }
  EXPECT_EQ(out.size(), wrapped_row_count(text, width)) << text;
  return out;
}

using Rows = std::vector<std::string>;

TEST(Wrap, BreaksAfterTheLastSpaceThatFitsAndDropsIt) {
  EXPECT_EQ(wrapped("alpha beta gamma", 11), (Rows{"alpha beta", "gamma"}));
  EXPECT_EQ(wrapped("alpha beta gamma", 10), (Rows{"alpha beta", "gamma"}));
  EXPECT_EQ(wrapped("abcd efgh", 4), (Rows{"abcd", "efgh"}));
  // A run of spaces at the break goes with it, wherever the width falls in it.
  EXPECT_EQ(wrapped("ab    cd", 4), (Rows{"ab", "cd"}));
  EXPECT_EQ(wrapped("ab    cd", 7), (Rows{"ab", "cd"}));
  EXPECT_EQ(wrapped("a b  c", 20), (Rows{"a b  c"}));
  // Trailing spaces past the width leave no empty row behind.
  EXPECT_EQ(wrapped("abc   ", 4), (Rows{"abc"}));
}

TEST(Wrap, KeepsLeadingSpaces) {
  EXPECT_EQ(wrapped("  indented words here", 10), (Rows{"  indented", "words here"}));
  EXPECT_EQ(wrapped("    key: a value", 12), (Rows{"    key: a", "value"}));
  // Indentation wider than the row is cut like a word.
  EXPECT_EQ(wrapped("      abc", 4), (Rows{"    ", "  ab", "c"}));
}

TEST(Wrap, SplitsWordsWiderThanTheRow) {
  EXPECT_EQ(wrapped("abcdefghij kl", 4), (Rows{"abcd", "efgh", "ij", "kl"}));
  EXPECT_EQ(wrapped("go abcdefgh", 4), (Rows{"go", "abcd", "efgh"}));
}

TEST(Wrap, CountsColumnsOfWideAndCombiningCharacters) {
  EXPECT_EQ(wrapped("ab中文字", 5), (Rows{"ab中", "文字"}));
  EXPECT_EQ(wrapped("中 文", 3), (Rows{"中", "文"}));
  EXPECT_EQ(wrapped("e\u0301e\u0301e\u0301", 2), (Rows{"e\u0301e\u0301", "e\u0301"}));
  // A character wider than the row still moves the wrap forward.
  EXPECT_EQ(wrapped("中a", 1), (Rows{"中", "a"}));
}

TEST(Wrap, EmptyTextIsOneRowAndWidthZeroHasNone) {
  EXPECT_EQ(wrap_rows("", 5), (std::vector<WrappedRow>{{0, 0}}));
  EXPECT_EQ(wrapped_row_count("", 1), 1u);
  EXPECT_EQ(wrapped_row_count("", 0), 0u);
  EXPECT_EQ(wrapped_row_count("some text", 0), 0u);
  EXPECT_TRUE(wrap_rows("some text", 0).empty());
}

TEST(Wrap, HeightAddsUpTheRowsOfEveryLine) {
  const std::vector<std::string> text = {"one two three", "", "four", "abcdefghijk"};
  const PlainLines lines(text);
  EXPECT_EQ(wrapped_height(lines, 5), 3u + 1u + 1u + 3u);
  EXPECT_EQ(wrapped_height(lines, 100), 4u);
  EXPECT_EQ(wrapped_height(lines, 0), 0u);
}

// Texts of words, spaces, wide, combining and control characters, in many widths: the rows keep
// to the width, follow each other in order, and drop nothing but spaces.
TEST(Wrap, RowsCoverTheTextInOrderWithinTheWidth) {
  const std::vector<std::string> pieces = {"a",  "bc",   " ",      "  ", "中",        "e\u0301",
                                           "\t", "word", "\u200B", "😀",  "longerword"};
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
      text += pieces[random() % pieces.size()];
    }
    const auto width = static_cast<uint16_t>(1 + random() % 12);
    const std::vector<WrappedRow> rows = wrap_rows(text, width);
    ASSERT_FALSE(rows.empty()) << text;
    ASSERT_EQ(rows.size(), wrapped_row_count(text, width));
    std::size_t covered = 0;
    for (const WrappedRow& row : rows) {
      ASSERT_LE(covered, row.begin) << text;
      ASSERT_LE(row.begin, row.end) << text;
      for (std::size_t i = covered; i < row.begin; ++i) {
        ASSERT_EQ(text[i], ' ') << "dropped a non-space in \"" << text << "\" at " << width;
      }
      const std::string_view shown = std::string_view(text).substr(row.begin, row.end - row.begin);
      const bool single_cluster = grapheme_length(shown, 0) == shown.size();
      if (!single_cluster) {
        ASSERT_LE(text_width(shown), width) << "\"" << text << "\" at " << width;
      }
      covered = row.end;
    }
    for (std::size_t i = covered; i < text.size(); ++i) {
      ASSERT_EQ(text[i], ' ') << "lost the end of \"" << text << "\" at " << width;
    }
  }
}

}  // namespace
}  // namespace tui
