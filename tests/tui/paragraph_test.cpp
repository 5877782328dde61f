#include "tui/paragraph.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/buffer_matchers.hpp"
#include "tui/wrap.hpp"

namespace tui {
namespace {

constexpr Color red = Color::hex(0xff0000);
constexpr Color green = Color::hex(0x00ff00);
constexpr Color blue = Color::hex(0x0000ff);

Paragraph wrapped(uint16_t scroll = 0) {
  Paragraph paragraph;
  paragraph.wrap = Wrap::words;
  paragraph.scroll = scroll;
  return paragraph;
}

Paragraph unwrapped(uint16_t scroll, uint16_t column_offset) {
  Paragraph paragraph;
  paragraph.scroll = scroll;
  paragraph.column_offset = column_offset;
  return paragraph;
}

Buffer render(const Paragraph& paragraph, const std::vector<Line>& lines, uint16_t width,
              uint16_t height) {
  Buffer buffer(Rect{0, 0, width, height});
  paragraph.render(lines, buffer.area(), buffer);
  return buffer;
}

TEST(Paragraph, WrapsWordsKeepingLeadingSpaces) {
  const std::vector<Line> lines = {
      Line("  indented words here"),
      Line("alpha beta gamma"),
      Line("abcdefghij kl"),
  };
  EXPECT_GRID(render(wrapped(), lines, 10, 8), {
                                                   "  indented",
                                                   "words here",
                                                   "alpha beta",
                                                   "gamma     ",
                                                   "abcdefghij",
                                                   "kl        ",
                                                   "          ",
                                                   "          ",
                                               });
  EXPECT_GRID(render(wrapped(), lines, 4, 6), {
                                                  "  in",
                                                  "dent",
                                                  "ed  ",
                                                  "word",
                                                  "s   ",
                                                  "here",
                                              });
}

TEST(Paragraph, WideCharactersMoveToTheNextRowAtTheWrapEdge) {
  const std::vector<Line> lines = {Line("ab中文字"), Line("中a")};
  EXPECT_GRID(render(wrapped(), lines, 5, 4), {"ab中 ", "文字 ", "中a  ", "     "});
  // Too narrow for the character at all: its row stays blank.
  EXPECT_GRID(render(wrapped(), {Line("中a")}, 1, 2), {" ", "a"});
}

TEST(Paragraph, SpansFollowTheBreaksOfThePlainText) {
  const std::vector<Line> one_way = {
      Line({Span("hello ", fg(red)), Span("big world", fg(green))}),
  };
  const std::vector<Line> other_way = {
      Line({Span("hel", fg(blue)), Span("lo big wo"), Span("rld", fg(red).bold())}),
  };
  const std::vector<std::string> grid = {"hello  ", "big    ", "world  "};
  const Buffer first = render(wrapped(), one_way, 7, 3);
  const Buffer second = render(wrapped(), other_way, 7, 3);
  EXPECT_GRID(first, grid);
  EXPECT_GRID(second, grid);
  EXPECT_CELLS(first, {{4, 0, fg(red)}, {0, 1, fg(green)}, {4, 2, fg(green)}});
  EXPECT_CELLS(second, {{2, 0, fg(blue)}, {3, 0, fg(Color{})}, {1, 2, fg(Color{})}});
  EXPECT_CELLS(second, {{2, 2, fg(red)}, {4, 2, Style{}.bold()}});
}

TEST(Paragraph, ScrollCountsWrappedRows) {
  const std::vector<Line> lines = {Line("one two three"), Line(""), Line("four"), Line("five six")};
  EXPECT_GRID(render(wrapped(0), lines, 5, 3), {"one  ", "two  ", "three"});
  EXPECT_GRID(render(wrapped(1), lines, 5, 3), {"two  ", "three", "     "});
  EXPECT_GRID(render(wrapped(3), lines, 5, 3), {"     ", "four ", "five "});
  EXPECT_GRID(render(wrapped(6), lines, 5, 3), {"six  ", "     ", "     "});
  EXPECT_GRID(render(wrapped(7), lines, 5, 3), {"     ", "     ", "     "});
  EXPECT_GRID(render(wrapped(65535), lines, 5, 3), {"     ", "     ", "     "});

  // The height used for clamping ends exactly where the drawn text does.
  const StyledLines source(lines);
  const std::size_t height = wrapped_height(source, 5);
  EXPECT_EQ(height, 7u);
  EXPECT_GRID(render(wrapped(static_cast<uint16_t>(height - 1)), lines, 5, 1), {"six  "});
}

TEST(Paragraph, UnwrappedLinesAreCutAndPanned) {
  const std::vector<Line> lines = {Line("a中bcdef"), Line("xy"), Line("abcd中")};
  EXPECT_GRID(render(unwrapped(0, 0), lines, 5, 3), {"a中bc", "xy   ", "abcd "});
  // The cut through 中 leaves a blank where its right half would be.
  EXPECT_GRID(render(unwrapped(0, 2), lines, 4, 3), {" bcd", "    ", "cd中"});
  EXPECT_GRID(render(unwrapped(0, 1), lines, 4, 3), {"中bc", "y   ", "bcd "});
  EXPECT_GRID(render(unwrapped(1, 1), lines, 4, 3), {"y   ", "bcd ", "    "});
  EXPECT_GRID(render(unwrapped(0, 65535), lines, 4, 1), {"    "});
  // A long line is never wrapped when wrapping is off.
  EXPECT_GRID(render(unwrapped(0, 0), {Line("alpha beta")}, 6, 2), {"alpha ", "      "});
}

TEST(Paragraph, DrawsOnlyInsideItsAreaWithTheBaseStyleUnderTheText) {
  Buffer buffer(Rect{0, 0, 8, 4});
  for (Cell& cell : buffer.cells()) {
    cell.symbol = ".";
  }
  Paragraph paragraph = wrapped();
  paragraph.style = bg(blue).with_fg(green);
  const std::vector<Line> lines = {Line({Span("ab "), Span("cdefgh", fg(red))}), Line("zz")};
  paragraph.render(lines, Rect{1, 1, 5, 2}, buffer);
  EXPECT_GRID(buffer, {
                          "........",
                          ".ab.....",
                          ".cdefg..",
                          "........",
                      });
  EXPECT_CELLS(buffer, {{1, 1, fg(green).with_bg(blue)}, {3, 2, fg(red).with_bg(blue)}});
  EXPECT_CELLS(buffer, {{5, 1, bg(blue)}, {0, 1, bg(Color{})}, {6, 2, bg(Color{})}});
}

// Lines made on demand that count how often they are asked for.
class CountingLines : public LineSource {
 public:
  CountingLines(std::size_t count, std::string pattern)
      : count_(count), pattern_(std::move(pattern)) {}

  std::size_t size() const override { return count_; }
  std::string_view text(std::size_t i) const override {
    ++text_calls;
    scratch_ = make(i);
    return scratch_;
  }
  Line styled(std::size_t i) const override {
    ++styled_calls;
    styled_lines.push_back(i);
    return Line({Span(make(i), fg(red))});
  }

  mutable std::size_t text_calls = 0;
  mutable std::size_t styled_calls = 0;
  mutable std::vector<std::size_t> styled_lines;

 private:
  std::string make(std::size_t i) const { return pattern_ + std::to_string(i); }

  std::size_t count_;
  std::string pattern_;
  mutable std::string scratch_;
};

TEST(Paragraph, StylesOnlyTheLinesItShows) {
  const CountingLines lines(100'000, "line ");
  Buffer buffer(Rect{0, 0, 20, 10});
  wrapped(50).render(lines, buffer.area(), buffer);
  EXPECT_EQ(buffer.row_text(0), "line 50             ");
  EXPECT_EQ(buffer.row_text(9), "line 59             ");
  EXPECT_EQ(lines.styled_calls, 10u);
  EXPECT_LE(lines.text_calls, 60u);

  const CountingLines panned(100'000, "line ");
  Buffer other(Rect{0, 0, 20, 10});
  unwrapped(50, 2).render(panned, other.area(), other);
  EXPECT_EQ(other.row_text(0), "ne 50               ");
  EXPECT_EQ(panned.styled_calls, 10u);
  EXPECT_LE(panned.text_calls, 10u);

  // Lines of three rows each: wrapped row 50 is the last row of line 16.
  const CountingLines long_lines(100'000, "aaaa bbbb ");
  Buffer narrow(Rect{0, 0, 5, 4});
  wrapped(50).render(long_lines, narrow.area(), narrow);
  EXPECT_GRID(narrow, {"16   ", "aaaa ", "bbbb ", "17   "});
  EXPECT_EQ(long_lines.styled_lines, (std::vector<std::size_t>{16, 17}));
  EXPECT_LE(long_lines.text_calls, 18u);
}

// A source whose styled spans disagree with its text.
class MismatchedLines : public LineSource {
 public:
  std::size_t size() const override { return 1; }
  std::string_view text(std::size_t) const override { return "plain text"; }
  Line styled(std::size_t) const override { return Line("other", fg(red)); }
};

TEST(Paragraph, DrawsThePlainTextWhenTheStyledLineDisagrees) {
  const MismatchedLines lines;
  Buffer buffer(Rect{0, 0, 6, 2});
  wrapped().render(lines, buffer.area(), buffer);
  EXPECT_GRID(buffer, {"plain ", "text  "});
  EXPECT_CELLS(buffer, {{0, 0, fg(Color{})}});
}

TEST(Paragraph, EmptyAreasDrawNothing) {
  const std::vector<Line> lines = {Line("some text"), Line("")};
  Buffer buffer(Rect{0, 0, 4, 2});
  for (const Paragraph& paragraph : {wrapped(), wrapped(3), unwrapped(1, 2)}) {
    paragraph.render(lines, Rect{0, 0, 0, 2}, buffer);
    paragraph.render(lines, Rect{0, 0, 4, 0}, buffer);
    paragraph.render(lines, Rect{9, 9, 4, 4}, buffer);
    paragraph.render(std::vector<Line>{}, buffer.area(), buffer);
  }
  EXPECT_GRID(buffer, {"    ", "    "});
}

}  // namespace
}  // namespace tui
