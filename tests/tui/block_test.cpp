#include "tui/block.hpp"

#include <gtest/gtest.h>

#include "support/buffer_matchers.hpp"
#include "tui/clear.hpp"

namespace tui {
namespace {

constexpr Color red = Color::hex(0xff0000);
constexpr Color green = Color::hex(0x00ff00);
constexpr Color blue = Color::hex(0x0000ff);
constexpr Color grey = Color::hex(0x808080);

TEST(Block, DrawsRoundedBordersAndAStyledTitleCutBeforeTheCorner) {
  Buffer buffer(Rect{0, 0, 12, 4});
  Block block;
  block.border_style = fg(blue);
  block.title = {Span(" Hi", fg(green).bold()), Span(" · ", fg(red)), Span("there ")};
  block.render(buffer.area(), buffer);
  EXPECT_GRID(buffer, {
                          "╭ Hi · ther╮",
                          "│          │",
                          "│          │",
                          "╰──────────╯",
                      });
  EXPECT_EQ(block.inner(buffer.area()), (Rect{1, 1, 10, 2}));

  EXPECT_CELLS(buffer, {{0, 0, fg(blue).not_bold()}, {11, 3, fg(blue)}, {0, 2, fg(blue)}});
  // A title piece without a colour shows in the border's colour.
  EXPECT_CELLS(buffer, {{2, 0, fg(green).bold()}, {5, 0, fg(red).not_bold()}, {7, 0, fg(blue)}});
  // The inside is left alone.
  EXPECT_EQ(buffer.at(3, 1), Cell{});
}

TEST(Block, FillsTheWholeAreaAndStaysInsideIt) {
  Buffer buffer(Rect{0, 0, 7, 5});
  for (Cell& cell : buffer.cells()) {
    cell.symbol = ".";
  }
  Block block;
  block.border_style = fg(blue);
  block.fill = bg(grey);
  const Rect area{1, 1, 5, 3};
  block.render(area, buffer);
  EXPECT_GRID(buffer, {
                          ".......",
                          ".╭───╮.",
                          ".│...│.",
                          ".╰───╯.",
                          ".......",
                      });
  EXPECT_EQ(block.inner(area), (Rect{2, 2, 3, 1}));
  EXPECT_CELLS(buffer, {{3, 2, bg(grey)}, {1, 1, fg(blue).with_bg(grey)}, {0, 0, bg(Color{})}});
}

TEST(Block, WideTitleCharacterThatWouldReachTheCornerIsLeftOut) {
  Buffer buffer(Rect{0, 0, 6, 2});
  Block block;
  block.title = {Span("ab"), Span("c中d")};
  block.render(buffer.area(), buffer);
  EXPECT_GRID(buffer, {"╭abc─╮", "╰────╯"});

  block.title = {Span("ab中"), Span("x")};
  block.render(buffer.area(), buffer);
  EXPECT_GRID(buffer, {"╭ab中╮", "╰────╯"});
}

TEST(Block, DegenerateSizesDrawWhatFits) {
  Block block;
  block.title = {Span("title")};
  struct Case {
    uint16_t width;
    uint16_t height;
    std::vector<std::string> grid;
  };
  const std::vector<Case> cases = {
      {1, 1, {"╭"}},
      {2, 1, {"╭╮"}},
      {1, 2, {"╭", "╰"}},
      {2, 2, {"╭╮", "╰╯"}},
      {3, 1, {"╭t╮"}},
      {1, 3, {"╭", "│", "╰"}},
      {3, 3, {"╭t╮", "│ │", "╰─╯"}},
  };
  for (const Case& c : cases) {
    Buffer buffer(Rect{0, 0, c.width, c.height});
    block.render(buffer.area(), buffer);
    EXPECT_GRID(buffer, c.grid) << c.width << "x" << c.height;
  }
  for (uint16_t width = 0; width <= 3; ++width) {
    for (uint16_t height = 0; height <= 3; ++height) {
      const Rect inner = block.inner(Rect{4, 4, width, height});
      EXPECT_EQ(inner.width, width >= 2 && height >= 2 ? width - 2 : 0);
      EXPECT_EQ(inner.height, width >= 2 && height >= 2 ? height - 2 : 0);
    }
  }
  // Empty areas and areas beyond the buffer draw nothing.
  Buffer buffer(Rect{0, 0, 3, 3});
  block.render(Rect{1, 1, 0, 2}, buffer);
  block.render(Rect{1, 1, 2, 0}, buffer);
  block.render(Rect{5, 5, 4, 4}, buffer);
  EXPECT_GRID(buffer, {"   ", "   ", "   "});
}

TEST(Clear, ResetsCellsAndWholeWideCharactersAtItsEdges) {
  Buffer buffer(Rect{0, 0, 6, 3});
  for (uint16_t y = 0; y < 3; ++y) {
    buffer.set_string(0, y, "ab中cd", fg(red).with_bg(blue).bold());
  }
  clear(Rect{3, 0, 2, 1}, buffer);    // cuts 中 in its right half
  clear(Rect{0, 1, 3, 1}, buffer);    // cuts 中 in its left half
  clear(Rect{4, 2, 10, 10}, buffer);  // reaches past the buffer
  EXPECT_GRID(buffer, {"ab   d", "    cd", "ab中  "});
  EXPECT_EQ(buffer.at(3, 0), Cell{});
  EXPECT_EQ(buffer.at(4, 0), Cell{});
  EXPECT_CELLS(buffer, {{5, 0, fg(red)}, {4, 1, bg(blue)}});
  EXPECT_EQ(buffer.at(0, 1), Cell{});
  EXPECT_EQ(buffer.at(5, 2), Cell{});
}

}  // namespace
}  // namespace tui
