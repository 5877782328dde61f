#include "tui/wrap.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/unicode.hpp"

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

TEST(Wrap, BreaksAtSpacesKeepsIndentationAndCountsColumns) {
  struct Case {
    std::string_view text;
    uint16_t width;
    Rows rows;
    const char* note;
  };
  const Case cases[] = {
      {"alpha beta gamma", 11, {"alpha beta", "gamma"}, "after the last space that fits"},
      {"alpha beta gamma", 10, {"alpha beta", "gamma"}, "the space at the edge is dropped"},
      {"abcd efgh", 4, {"abcd", "efgh"}, "words that fit exactly"},
      {"ab    cd", 4, {"ab", "cd"}, "a run of spaces goes with the break"},
      {"ab    cd", 7, {"ab", "cd"}, "wherever the width falls in the run"},
      {"a b  c", 20, {"a b  c"}, "inner spaces stay"},
      {"abc   ", 4, {"abc"}, "trailing spaces leave no empty row"},
      {"  indented words here", 10, {"  indented", "words here"}, "leading spaces stay"},
      {"    key: a value", 12, {"    key: a", "value"}, "deeper indentation"},
      {"      abc", 4, {"    ", "  ab", "c"}, "indentation wider than the row is cut"},
      {"abcdefghij kl", 4, {"abcd", "efgh", "ij", "kl"}, "words wider than the row are split"},
      {"go abcdefgh", 4, {"go", "abcd", "efgh"}, "a long word starts a new row"},
      {"ab中文字", 5, {"ab中", "文字"}, "wide characters count two columns"},
      {"中 文", 3, {"中", "文"}, "wide words"},
      {"e\u0301e\u0301e\u0301", 2, {"e\u0301e\u0301", "e\u0301"}, "combining accents are free"},
      {"中a", 1, {"中", "a"}, "a character wider than the row still moves on"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    EXPECT_EQ(wrapped(c.text, c.width), c.rows);
  }
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
      const bool single_cluster = base::grapheme_length(shown, 0) == shown.size();
      if (!single_cluster) {
        ASSERT_LE(base::text_width(shown), width) << "\"" << text << "\" at " << width;
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
