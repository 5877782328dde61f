#include "tui/buffer.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/unicode.hpp"
#include "support/buffer_matchers.hpp"

namespace tui {
namespace {

constexpr Color red = Color::hex(0xff0000);
constexpr Color green = Color::hex(0x00ff00);
constexpr Color blue = Color::hex(0x0000ff);

Buffer make_buffer(uint16_t width, uint16_t height) {
  return Buffer(Rect{0, 0, width, height});
}

// Every row must still take exactly the buffer's width once drawn: no orphaned half of a wide
// character and no continuation cell without its owner.
void expect_rows_aligned(const Buffer& buffer) {
  for (uint16_t y = buffer.area().y; y < buffer.area().bottom(); ++y) {
    EXPECT_EQ(base::text_width(buffer.row_text(y)), buffer.area().width) << "row " << y;
    for (uint16_t x = buffer.area().x; x < buffer.area().right(); ++x) {
      const Cell& cell = buffer.at(x, y);
      if (cell.is_continuation()) {
        ASSERT_GT(x, buffer.area().x) << "continuation at the left edge, row " << y;
      } else {
        const auto width = static_cast<uint16_t>(base::grapheme_width(cell.symbol));
        for (uint16_t i = 1; i < width; ++i) {
          ASSERT_LT(x + i, buffer.area().right());
          EXPECT_TRUE(buffer.at(static_cast<uint16_t>(x + i), y).is_continuation())
              << "column " << x + i << " row " << y;
        }
      }
    }
  }
}

TEST(Buffer, WideCharactersTakeTwoCells) {
  Buffer buffer = make_buffer(6, 1);
  EXPECT_EQ(buffer.set_string(0, 0, "a中b", fg(red)), 4);
  EXPECT_GRID(buffer, {"a中b  "});
  EXPECT_EQ(buffer.at(1, 0).symbol, "中");
  EXPECT_TRUE(buffer.at(2, 0).is_continuation());
  EXPECT_EQ(buffer.at(2, 0).fg, red);
  EXPECT_EQ(buffer.at(3, 0).symbol, "b");
  expect_rows_aligned(buffer);
}

TEST(Buffer, ZeroWidthCharactersJoinThePreviousCell) {
  Buffer buffer = make_buffer(6, 1);
  // A combining accent, a zero-width space after a narrow and after a wide character.
  buffer.set_string(0, 0, "e\u0301a\u200B中\u200Bz", Style{});
  EXPECT_EQ(buffer.at(0, 0).symbol, "e\u0301");
  EXPECT_EQ(buffer.at(1, 0).symbol, "a\u200B");
  EXPECT_EQ(buffer.at(2, 0).symbol, "中\u200B");
  EXPECT_TRUE(buffer.at(3, 0).is_continuation());
  EXPECT_EQ(buffer.at(4, 0).symbol, "z");
  expect_rows_aligned(buffer);

  // With nothing written before it by the same call, a zero-width character is dropped rather
  // than joined to a neighbour it does not belong to.
  Buffer other = make_buffer(3, 1);
  other.set_string(0, 0, "x", Style{});
  other.set_string(1, 0, "\u200By", Style{});
  EXPECT_GRID(other, {"xy "});
}

TEST(Buffer, ControlCharactersAreDropped) {
  Buffer buffer = make_buffer(10, 1);
  EXPECT_EQ(buffer.set_string(0, 0, "a\tb\x1b[1mc\r\nd\x7f\u009be", Style{}), 8);
  EXPECT_GRID(buffer, {"ab[1mcde  "});
}

TEST(Buffer, WritesClipAtEdgesAndNeverSplitAWideCharacter) {
  Buffer buffer = make_buffer(5, 2);
  EXPECT_EQ(buffer.set_string(3, 0, "abcdef", Style{}), 5);
  buffer.set_string(0, 1, "abcd中", Style{});
  EXPECT_GRID(buffer, {"   ab", "abcd "});
  // Rows and columns outside the buffer are ignored.
  EXPECT_EQ(buffer.set_string(5, 0, "x", Style{}), 5);
  buffer.set_string(0, 2, "x", Style{});
  EXPECT_GRID(buffer, {"   ab", "abcd "});

  // The width limit cuts like the edge.
  Buffer limited = make_buffer(6, 2);
  EXPECT_EQ(limited.set_string(0, 0, "a中b", Style{}, 2), 1);
  EXPECT_EQ(limited.set_string(1, 1, "abc", Style{}, 0), 1);
  EXPECT_GRID(limited, {"a     ", "      "});
  limited.set_string(0, 0, "a中b", Style{}, 3);
  EXPECT_GRID(limited, {"a中   ", "      "});

  // A buffer that does not start at column 0 cuts text that begins left of it.
  Buffer offset(Rect{2, 3, 4, 1});
  offset.set_string(0, 3, "ab中cd", Style{});
  EXPECT_GRID(offset, {"中cd"});
  offset.set_string(1, 3, "中ab", Style{});
  EXPECT_GRID(offset, {" abd"});
  expect_rows_aligned(offset);
}

TEST(Buffer, OverwritingHalfAWideCharacterMendsTheOtherHalf) {
  Buffer buffer = make_buffer(4, 4);
  for (uint16_t y = 0; y < 4; ++y) {
    buffer.set_string(0, y, "中中", Style{});
  }
  buffer.set_string(1, 0, "x", Style{});   // right half of the first
  buffer.set_string(2, 1, "y", Style{});   // left half of the second
  buffer.set_string(1, 2, "字", Style{});  // across both
  buffer.set_string(0, 3, "ab", Style{});  // the first whole
  EXPECT_GRID(buffer, {" x中", "中y ", " 字 ", "ab中"});
  expect_rows_aligned(buffer);
}

TEST(Buffer, RandomWritesNeverLeaveHalfAWideCharacter) {
  const std::vector<std::string> pieces = {"a", "中", "字", "😀", "e\u0301", "\u200B", "\x01", " "};
  std::mt19937 random(11);
  Buffer buffer(Rect{2, 1, 9, 3});
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) {
      text += pieces[random() % pieces.size()];
    }
    const auto x = static_cast<uint16_t>(random() % 13);
    const auto y = static_cast<uint16_t>(random() % 5);
    const auto max_width = static_cast<uint16_t>(random() % 12);
    buffer.set_string(x, y, text, Style{}, max_width);
    SCOPED_TRACE("round " + std::to_string(round) + ": \"" + text + "\" at " + std::to_string(x));
    expect_rows_aligned(buffer);
    if (HasFailure())
      break;
  }
}

TEST(Buffer, SetStylePatchesColoursAndBold) {
  Buffer buffer = make_buffer(3, 2);
  buffer.set_style(Rect{0, 0, 3, 2}, fg(red).with_bg(blue).bold());
  buffer.set_style(Rect{1, 0, 2, 2}, fg(green));
  buffer.set_style(Rect{2, 1, 5, 5}, Style{}.not_bold());  // reaches past the buffer

  // Untouched, recoloured, and recoloured with bold taken off.
  EXPECT_CELLS(buffer,
               {{0, 0, fg(red).with_bg(blue).bold()}, {1, 1, fg(green).with_bg(blue).bold()}});
  EXPECT_CELLS(buffer, {{2, 1, fg(green).not_bold()}, {2, 0, Style{}.bold()}});

  // Text written in a style keeps the colours that the style leaves open.
  buffer.set_string(0, 0, "a", Style{}.not_bold());
  EXPECT_CELLS(buffer, {{0, 0, bg(blue).not_bold()}});
}

TEST(Buffer, SetLineDrawsSpansInTheirStylesWithinTheWidth) {
  Buffer buffer = make_buffer(8, 1);
  Line line;
  line.push("ab", fg(red));
  line.push("中", fg(green));
  line.push("cd", fg(blue));
  EXPECT_EQ(buffer.set_line(1, 0, line, 5), 6);
  EXPECT_GRID(buffer, {" ab中c  "});
  EXPECT_CELLS(buffer, {{1, 0, fg(red)}, {3, 0, fg(green)}, {5, 0, fg(blue)}, {6, 0, fg(Color{})}});
}

}  // namespace
}  // namespace tui
